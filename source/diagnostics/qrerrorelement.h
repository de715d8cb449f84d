#pragma once
// One QRError element: `<QRError Name="value" ... />`, each attribute followed by a
// blank; double quotes in values become apostrophes, nothing else is escaped.
#include <string>
#include <string_view>

class QRErrorElement {
public:
    QRErrorElement() : text_(L"<QRError ") {}
    QRErrorElement& Attribute(std::wstring_view name, std::wstring_view value);
    // Skips an empty value.
    QRErrorElement& AttributeIfAny(std::wstring_view name, std::wstring_view value) {
        return value.empty() ? *this : Attribute(name, value);
    }
    std::wstring Finish() { return text_ + L"/>"; }

private:
    std::wstring text_;
};

// True when the text starts with "<QRError" (compared without regard to case).
bool IsQRErrorDocument(std::wstring_view text);
// The value of the first Desc attribute of a document's first element, or the whole
// text when it is not a document.
std::wstring FirstDesc(std::wstring_view document);

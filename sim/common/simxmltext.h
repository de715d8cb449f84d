#pragma once
// Writing XML text by hand: escaping for attribute values and character data, the
// check for characters that XML cannot carry at all, and UTF-8 conversion.
#include <string>
#include <string_view>

namespace sim {

// Appends `value` for use between double quotes: & < > " are escaped, and tab, line feed
// and carriage return become character references so that a parser gives them back
// unchanged instead of normalizing them to blanks.
void AppendAttributeValue(std::wstring& out, std::wstring_view value);
// Appends name="value" with a leading blank.
void AppendAttribute(std::wstring& out, std::wstring_view name, std::wstring_view value);
// The same with a number written in decimal.
void AppendAttribute(std::wstring& out, std::wstring_view name, long long value);
// Appends `text` as character data: & < > are escaped and a carriage return becomes a
// character reference (a parser would otherwise turn CR LF into LF).
void AppendCharacterData(std::wstring& out, std::wstring_view text);

// The position of the first character that an XML 1.0 document cannot hold (controls
// other than tab, LF and CR, U+FFFE, U+FFFF, unpaired surrogates), or npos.
size_t FindInvalidXmlCharacter(std::wstring_view text);

// UTF-16 to UTF-8 and back; the decoder refuses malformed input (throws a QRComException).
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

// True when the document's prolog holds a document type declaration. Only the prolog
// is looked at (declaration, processing instructions, comments and blanks before the
// root element), so a "<!DOCTYPE" inside content does not count.
bool HasDocumentTypeDeclaration(std::wstring_view document);

// What every reader here refuses before parsing: a document type declaration, and a NUL,
// which XML allows nowhere and after which a parser may read no further. Throws a
// QRComException (E_INVALIDARG); `what` names the document ("The claims document").
void RefuseUnreadableXml(std::wstring_view document, const wchar_t* what);
// Throws the message for a document that is not well-formed, with the parser's reason
// (blanks at its end dropped) and line.
[[noreturn]] void FailNotWellFormed(const wchar_t* what, std::wstring reason, long line);

} // namespace sim

#include "saxschemaparser.h"

#include <cwchar>
#include <limits>
#include "diagnostics/traced.h"
#include "saxcontenthandler.h"
#include "xmltext.h"

namespace {

SchemaValue MakeValue(int type, bool invalid) {
    SchemaValue value;
    value.type = type;
    value.value.number = 0;
    value.invalid = invalid;
    return value;
}

// Booleans of documents: the words of ParseBool and the single letters "t" and "f".
bool ParseSchemaBool(const wchar_t* text, bool* value) {
    if (SUCCEEDED(ParseBool(text, value))) return true;
    if (_wcsicmp(text, L"t") == 0) return *value = true, true;
    if (_wcsicmp(text, L"f") == 0) return *value = false, true;
    return false;
}

} // namespace

SchemaValue ConvertSchemaValue(int type, const wchar_t* text) noexcept {
    bool empty = !text || !*text;
    switch (type) {
    case kValueDouble: {
        SchemaValue value = MakeValue(type, false);
        value.invalid = empty || !ParseDouble(text, &value.value.number);
        if (value.invalid) value.value.number = std::numeric_limits<double>::quiet_NaN();
        return value;
    }
    case kValueLong: {
        SchemaValue value = MakeValue(type, empty);
        value.value.integer = empty ? 0 : ParseLeadingLong(text);
        return value;
    }
    case kValueBool: {
        SchemaValue value = MakeValue(type, false);
        bool parsed = false;
        value.invalid = empty || !ParseSchemaBool(text, &parsed);
        value.value.boolean = !value.invalid && parsed;
        return value;
    }
    default: {
        SchemaValue value = MakeValue(kValueString, false);
        value.value.text = text ? text : L"";
        return value;
    }
    }
}

SAXSchemaParser::SAXSchemaParser() = default;
SAXSchemaParser::~SAXSchemaParser() = default;

// Callers get an HRESULT whatever happens inside.
HRESULT SAXSchemaParser::ParseString(BSTR document) {
    return Traced(nullptr, 0, [&](QRComException& xhr) {
        if (!contentHandler_) {
            xhr.SetResult(SAXSchemaParserImpl::ContentHandler::Create(GetSchema(), &contentHandler_));
            if (FAILED(xhr.result)) xhr.Rethrow(QR_HERE, L"Failed to instanciate SAXSchemaParser");
        }
        contentHandler_->SetOptions(ignoreCase_, skipUndeclared_);
        aborted_ = false;
        xhr.SetResult(contentHandler_->Parse(document, this));
        aborted_ = contentHandler_->Aborted();
        if (FAILED(xhr.result)) xhr.Rethrow();
    });
}

#pragma once
// The SAX content and error handler behind SAXSchemaParser: it walks the schema table
// as elements open and close, keeps one state per open element, converts attribute
// texts and carries handler failures, with their QRError documents, out of the reader.
#include <cwchar>
#include <string>
#include <vector>
#include "diagnostics/qrcomexception.h"
#include "saxidentifiers.h"
#include "saxschemaparser.h"
#include "winkit/com_object.h"

namespace SAXSchemaParserImpl {

// Carries an abort out of a callback's try block; handlers of QRComException do not
// catch it.
class QRSAXAbortException {
public:
    explicit QRSAXAbortException(const QRComException& thrower) : scope(thrower) {}
    QRComException scope;  // a copy of the throwing callback's scope
};

// Collects a simple element's text and hands its converted value to the parent.
class SimpleElementHandler final : public SAXSchemaElementHandler {
public:
    void Bind(SAXSchemaElementHandler* parent, int id, int type) noexcept {
        parent_ = parent;
        id_ = id;
        type_ = type;
    }
    HRESULT OnStart(int) override;
    HRESULT OnEnd(int) override;
    HRESULT OnCharacters(const wchar_t* text, int length) override;
    HRESULT GetChildHandler(int, SAXSchemaElementHandler** handler) override;
    HRESULT OnChildEnd(int, SAXSchemaElementHandler*) override { return E_INVALIDARG; }
    HRESULT OnAttribute(int, SchemaValue) override { return E_INVALIDARG; }
    HRESULT OnElementValue(int, SchemaValue) override { return E_INVALIDARG; }

private:
    std::wstring text_;
    SAXSchemaElementHandler* parent_ = nullptr;
    int type_ = kValueString;
    int id_ = 0;
};

// Stands for an undeclared element and everything inside it.
class IgnoreElementHandler final : public DefaultSAXSchemaElementHandler {
public:
    HRESULT GetChildHandler(int, SAXSchemaElementHandler** handler) override {
        *handler = this;
        return S_OK;
    }
};

class ContentHandler final : public ISAXContentHandler, public ISAXErrorHandler, public winkit::ComObjectRoot {
    WINKIT_IUNKNOWN_IMPL(kInterfaces)

    static HRESULT Create(const SchemaEntry* schema, winkit::ComPtr<ContentHandler>* handler);

    void SetOptions(bool ignoreCase, bool skipUndeclared) noexcept {
        ignoreCase_ = ignoreCase;
        skipUndeclared_ = skipUndeclared;
    }
    bool Aborted() const noexcept { return aborted_; }

    // Reads the document with a new SAX reader; documentHandler is the document level.
    HRESULT Parse(BSTR document, SAXSchemaElementHandler* documentHandler);

    // ISAXContentHandler
    HRESULT STDMETHODCALLTYPE putDocumentLocator(ISAXLocator* locator) override;
    HRESULT STDMETHODCALLTYPE startDocument() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE endDocument() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE startPrefixMapping(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE endPrefixMapping(const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE startElement(const wchar_t* uri, int uriLength, const wchar_t* localName,
                                           int localNameLength, const wchar_t* qualifiedName,
                                           int qualifiedNameLength, ISAXAttributes* attributes) override;
    HRESULT STDMETHODCALLTYPE endElement(const wchar_t* uri, int uriLength, const wchar_t* localName,
                                         int localNameLength, const wchar_t* qualifiedName,
                                         int qualifiedNameLength) override;
    HRESULT STDMETHODCALLTYPE characters(const wchar_t* text, int length) override;
    HRESULT STDMETHODCALLTYPE ignorableWhitespace(const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE processingInstruction(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE skippedEntity(const wchar_t*, int) override { return S_OK; }

    // ISAXErrorHandler
    HRESULT STDMETHODCALLTYPE error(ISAXLocator* locator, const wchar_t* message, HRESULT hr) override;
    HRESULT STDMETHODCALLTYPE fatalError(ISAXLocator* locator, const wchar_t* message, HRESULT hr) override;
    HRESULT STDMETHODCALLTYPE ignorableWarning(ISAXLocator*, const wchar_t*, HRESULT) override { return S_OK; }

private:
    static const QITAB kInterfaces[];

    struct State {
        const SchemaEntry* entry;          // null for an undeclared element
        SAXSchemaElementHandler* handler;  // null when the parent gave none
    };

    // What a failing callback left as error information: the reader replaces it with
    // its own, so it is kept here and published again when the parse ends.
    struct SavedError {
        HRESULT hr = S_OK;
        winkit::ComPtr<IErrorInfo> info;
    };

    void Reset(SAXSchemaElementHandler* documentHandler);
    void Push(State state);
    void StartElement(QRComException& xhr, const wchar_t* name, int length, ISAXAttributes* attributes);
    void EndElement(QRComException& xhr);
    void ReadAttributes(QRComException& xhr, const State& state, ISAXAttributes* attributes);
    HRESULT RunAbort();
    template <class Work>
    void RunCallback(QRComException& xhr, Work&& work) noexcept;
    void Check(QRComException& xhr, HRESULT hr);
    [[noreturn]] void Fail(QRComException& xhr);
    void FailWithContext(QRComException& xhr, const wchar_t* method, const wchar_t* name, int length,
                         std::wstring& context) noexcept;
    HRESULT ReportReaderError(ISAXLocator* locator, const wchar_t* message, HRESULT hr,
                              const wchar_t* format) noexcept;
    void SaveError(HRESULT hr) noexcept;
    HRESULT PublishSavedError() noexcept;
    // "(Ln <line>, Col <column>)" of the locator's position, counted in the caller's text.
    std::wstring Position(ISAXLocator* locator) const;
    void CountCut(std::wstring_view cut) noexcept;

    const SchemaEntry* FindElement(const wchar_t* name, int length) const noexcept;
    const SchemaEntry* FindAttribute(const SchemaEntry* element, const wchar_t* name, int length) const noexcept;
    // Called for every attribute of every element: inline.
    bool NameMatches(const SchemaEntry* entry, const wchar_t* name, int length) const noexcept {
        if (nameLengths_[entry - schema_] != length || !name) return false;
        return ignoreCase_ ? _wcsnicmp(entry->name, name, length) == 0 : std::wmemcmp(entry->name, name, length) == 0;
    }

    winkit::ComPtr<ISAXLocator> locator_;
    // The reader gets the text without the white space before its root element: the
    // lines it held, and the columns of its last line, are added back to positions.
    int linesCut_ = 0;
    int columnsCut_ = 0;
    bool ignoreCase_ = false;
    bool skipUndeclared_ = true;
    bool aborted_ = false;
    SavedError savedError_;
    SimpleElementHandler simpleHandler_;
    IgnoreElementHandler ignoreHandler_;
    std::vector<State> stack_;
    const SchemaEntry* schema_ = nullptr;
    std::vector<int> nameLengths_;       // per entry: the length of its name
    std::wstring value_;                 // the current attribute's value
    // Per element entry: the declaration each attribute position matched last.
    std::vector<std::vector<const SchemaEntry*>> attributesFound_;
};

} // namespace SAXSchemaParserImpl

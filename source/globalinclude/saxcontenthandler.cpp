#include "saxcontenthandler.h"

#include <algorithm>
#include <cwchar>
#include "diagnostics/wideformat.h"
#include "readerinput.h"
#include "winkit/unique_bstr.h"
#include "documenttype.h"

namespace SAXSchemaParserImpl {

namespace {

bool IsSimpleElement(int kind) { return kind >= kStringElement && kind <= kBoolElement; }
bool IsAttribute(int kind) { return kind >= kStringAttribute && kind <= kBoolAttribute; }

// The state stack grows by doubling its room, but never by more than this at a time.
constexpr size_t kMaxStackGrowth = 512;
constexpr size_t kAttributeBufferSize = 2056;
// Positions beyond this are looked up every time: no document is owed room for them.
constexpr size_t kRememberedAttributes = 64;

// Entity declarations can only come from a DTD, which ParseString refuses; these keep a
// reader that would still meet one from reaching outside the document.
void DisableExternalResources(ISAXXMLReader* reader) {
    reader->putFeature(L"http://xml.org/sax/features/external-general-entities", VARIANT_FALSE);
    reader->putFeature(L"http://xml.org/sax/features/external-parameter-entities", VARIANT_FALSE);
    reader->putFeature(L"prohibit-dtd", VARIANT_TRUE);
}

} // namespace

// ---- SimpleElementHandler ------------------------------------------------------------

HRESULT SimpleElementHandler::OnStart(int) {
    text_.clear();
    return S_OK;
}

HRESULT SimpleElementHandler::OnCharacters(const wchar_t* text, int length) {
    if (!text) return S_OK;
    size_t n = length > 0 ? static_cast<size_t>(length) : std::wcslen(text);
    try {
        text_.append(text, n);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT SimpleElementHandler::OnEnd(int) {
    if (!parent_) return S_OK;
    return parent_->OnElementValue(id_, ConvertSchemaValue(type_, text_.c_str()));
}

HRESULT SimpleElementHandler::GetChildHandler(int, SAXSchemaElementHandler** handler) {
    *handler = nullptr;
    return E_INVALIDARG;
}

// ---- ContentHandler: set-up ----------------------------------------------------------

const QITAB ContentHandler::kInterfaces[] = {
    QITABENT(ContentHandler, ISAXContentHandler),
    QITABENT(ContentHandler, ISAXErrorHandler),
    {},
};

HRESULT ContentHandler::Create(const SchemaEntry* schema, winkit::ComPtr<ContentHandler>* handler) {
    ISAXContentHandler* made = nullptr;
    HRESULT hr = winkit::CreateComInstance<ContentHandler>(nullptr, IID_ISAXContentHandler,
                                                           reinterpret_cast<void**>(&made));
    if (FAILED(hr)) return hr;
    *handler = winkit::ComPtr<ContentHandler>::Attach(static_cast<ContentHandler*>(made));
    ContentHandler& self = *handler->get();
    try {
        self.schema_ = schema;
        const SchemaEntry* entry = schema;
        do {
            self.nameLengths_.push_back(entry->name ? static_cast<int>(std::wcslen(entry->name)) : 0);
        } while ((entry++)->kind != kSchemaEnd);
        self.stack_.reserve(16);
        self.attributesFound_.resize(self.nameLengths_.size());
        self.value_.reserve(kAttributeBufferSize);
    } catch (const std::bad_alloc&) {
        handler->reset();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void ContentHandler::Reset(SAXSchemaElementHandler* documentHandler) {
    stack_.clear();
    Push({schema_, documentHandler});
}

void ContentHandler::Push(State state) {
    if (stack_.size() == stack_.capacity())
        stack_.reserve(stack_.capacity() + std::clamp<size_t>(stack_.capacity(), 16, kMaxStackGrowth));
    stack_.push_back(state);
}

// ---- Parse ---------------------------------------------------------------------------

HRESULT ContentHandler::Parse(BSTR document, SAXSchemaElementHandler* documentHandler) {
    QRComException xhr;
    xhr.Enter(L"SAXSchemaParser::ParseString", 0);
    winkit::ComPtr<ISAXXMLReader> reader;
    try {
        savedError_ = SavedError();
        aborted_ = false;
        // Whatever an earlier call left on the thread must not be carried into the
        // documents of this parse.
        SetErrorInfo(0, nullptr);
        std::wstring_view text = winkit::BstrView(document);
        if (HasDocumentTypeDeclaration(text))
            xhr.Throw(QR_HERE, QRSAX_E_DTD_PROHIBITED,
                      L"XML documents with a document type declaration are not accepted");
        xhr.SetResult(CoCreateInstance(CLSID_SAXXMLReader60, nullptr, CLSCTX_ALL, IID_ISAXXMLReader,
                                       reader.put_void()));
        if (FAILED(xhr.result)) xhr.Rethrow(QR_HERE, L"Could not connect to MSXML6::SAXXMLReader");
        DisableExternalResources(reader.get());
        reader->putContentHandler(this);
        reader->putErrorHandler(this);
        Reset(documentHandler);
        // A null BSTR is the empty text, handed over as a real (empty) BSTR. White space
        // before the root element means nothing, but Wine's reader guesses a string's
        // encoding from its first characters and fails on it: it is left out.
        size_t start = text.find_first_not_of(L" \t\r\n");
        winkit::UniqueBstr trimmed;
        linesCut_ = columnsCut_ = 0;
        if (!document || (start != 0 && start != std::wstring_view::npos && text[start] == L'<')) {
            trimmed = winkit::UniqueBstr::Copy(start == std::wstring_view::npos ? std::wstring_view() : text.substr(start));
            if (document) CountCut(text.substr(0, std::min(start, text.size())));
        }
        VARIANT input;
        V_VT(&input) = VT_BSTR;
        V_BSTR(&input) = trimmed.get() ? trimmed.get() : document;
        ReaderInput stream(input);
        Check(xhr, reader->parse(input));
    }
    catch (QRSAXAbortException&) {
        aborted_ = true;
    }
    // Nothing may pass the clean-up below: the reader must let go of this handler.
    QR_CATCH_COM(xhr)
    if (reader) {
        reader->putContentHandler(nullptr);
        reader->putErrorHandler(nullptr);
    }
    locator_.reset();
    stack_.clear();
    if (FAILED(savedError_.hr) && savedError_.hr != QRSAX_E_ABORT) {
        xhr.SetResult(PublishSavedError());
    } else if (xhr.result == QRSAX_E_ABORT) {
        xhr.SetResult(S_OK);
        SetErrorInfo(0, nullptr);
    }
    return xhr.Result();
}

// Takes a handler's result: the abort code leaves the try block as QRSAXAbortException,
// any other failure as the scope.
void ContentHandler::Check(QRComException& xhr, HRESULT hr) {
    xhr.SetResult(hr);
    if (FAILED(hr)) Fail(xhr);
}

void ContentHandler::Fail(QRComException& xhr) {
    if (xhr.result == QRSAX_E_ABORT) throw QRSAXAbortException(xhr);
    xhr.Rethrow();
}

// ---- Element callbacks ---------------------------------------------------------------

HRESULT ContentHandler::putDocumentLocator(ISAXLocator* locator) {
    locator_ = winkit::ComPtr<ISAXLocator>(locator);
    return S_OK;
}

// The work of a callback in the scope's try block; a handler's request to stop leaves
// it as QRSAXAbortException, and the abort then runs in a try block of its own.
template <class Work>
void ContentHandler::RunCallback(QRComException& xhr, Work&& work) noexcept {
    bool abort = false;
    try {
        work();
    }
    catch (QRSAXAbortException&) {
        abort = true;
    }
    QR_CATCH_COM(xhr)
    if (!abort) return;
    try {
        xhr.SetResult(RunAbort());
    }
    QR_CATCH_COM(xhr)
}

HRESULT ContentHandler::startElement(const wchar_t*, int, const wchar_t* localName, int localNameLength,
                                     const wchar_t*, int, ISAXAttributes* attributes) {
    std::wstring context;  // outlives the scope, whose activity points at it
    QRComException xhr;
    RunCallback(xhr, [&] { StartElement(xhr, localName, localNameLength, attributes); });
    if (FAILED(xhr.result) && xhr.result != QRSAX_E_ABORT)
        FailWithContext(xhr, L"SAXSchemaParser::startElement()", localName, localNameLength, context);
    return xhr.Result();
}

void ContentHandler::StartElement(QRComException& xhr, const wchar_t* name, int length,
                                  ISAXAttributes* attributes) {
    if (stack_.empty()) return;  // nothing is reported once an abort has closed everything
    State current = stack_.back();
    const SchemaEntry* entry = FindElement(name, length);
    State state{entry, nullptr};
    if (!entry) {
        if (!skipUndeclared_) xhr.Throw(QR_HERE, E_INVALIDARG, L"The element %.*ls is not declared", length, name);
        state.handler = &ignoreHandler_;
    } else if (entry->kind == kComplexElement) {
        if (current.handler) Check(xhr, current.handler->GetChildHandler(entry->id, &state.handler));
    } else {
        simpleHandler_.Bind(current.handler, entry->id, entry->kind - kStringElement);
        state.handler = &simpleHandler_;
    }
    Push(state);
    if (!state.entry || !state.handler) return;
    Check(xhr, state.handler->OnStart(state.entry->id));
    ReadAttributes(xhr, state, attributes);
}

void ContentHandler::ReadAttributes(QRComException& xhr, const State& state, ISAXAttributes* attributes) {
    int count = 0;
    if (!attributes) return;
    Check(xhr, attributes->getLength(&count));
    const bool declares = state.entry->kind == kComplexElement;
    // A writer lists the attributes of an element kind in the same order every time:
    // the declaration found at a position last time is tried first.
    std::vector<const SchemaEntry*>& lastFound = attributesFound_[state.entry - schema_];
    for (int i = 0; i < count; ++i) {
        const wchar_t* name = nullptr;
        int nameLength = 0;
        Check(xhr, attributes->getLocalName(i, &name, &nameLength));
        const SchemaEntry* declaration = nullptr;
        if (declares) {
            const size_t position = static_cast<size_t>(i);
            if (position < lastFound.size() && lastFound[position] && NameMatches(lastFound[position], name, nameLength)) {
                declaration = lastFound[position];
            } else {
                declaration = FindAttribute(state.entry, name, nameLength);
                if (position < kRememberedAttributes) {
                    if (position >= lastFound.size()) lastFound.resize(position + 1);
                    lastFound[position] = declaration;
                }
            }
        }
        if (!declaration) {
            if (!skipUndeclared_)
                xhr.Throw(QR_HERE, E_INVALIDARG, L"The attribute %.*ls is not declared", nameLength, name);
            continue;
        }
        const wchar_t* value = nullptr;
        int valueLength = 0;
        Check(xhr, attributes->getValue(i, &value, &valueLength));
        // The reader's value need not end with a NUL: the handlers get a copy that does.
        if (value && valueLength > 0)
            value_.assign(value, static_cast<size_t>(valueLength));
        else
            value_.clear();
        Check(xhr, state.handler->OnAttribute(declaration->id,
                                              ConvertSchemaValue(declaration->kind - kStringAttribute, value_.c_str())));
    }
}

HRESULT ContentHandler::endElement(const wchar_t*, int, const wchar_t* localName, int localNameLength,
                                   const wchar_t*, int) {
    std::wstring context;
    QRComException xhr;
    RunCallback(xhr, [&] { EndElement(xhr); });
    if (FAILED(xhr.result) && xhr.result != QRSAX_E_ABORT)
        FailWithContext(xhr, L"SAXSchemaParser::endElement()", localName, localNameLength, context);
    return xhr.Result();
}

void ContentHandler::EndElement(QRComException& xhr) {
    if (stack_.size() < 2) return;  // the document level stays; after an abort nothing is left
    State state = stack_.back();
    stack_.pop_back();
    if (!state.entry) return;
    HRESULT ended = state.handler ? state.handler->OnEnd(state.entry->id) : S_OK;
    // An element that asks to stop has still ended: its parent hears of it first.
    if (FAILED(ended) && ended != QRSAX_E_ABORT) Check(xhr, ended);
    if (state.entry->kind == kComplexElement && stack_.back().handler)
        Check(xhr, stack_.back().handler->OnChildEnd(state.entry->id, state.handler));
    Check(xhr, ended);
}

HRESULT ContentHandler::characters(const wchar_t* text, int length) {
    QRComException xhr;
    RunCallback(xhr, [&] {
        if (!stack_.empty() && stack_.back().handler) Check(xhr, stack_.back().handler->OnCharacters(text, length));
    });
    HRESULT hr = xhr.Result();
    if (FAILED(hr) && hr != QRSAX_E_ABORT) SaveError(hr);
    return hr;
}

// Closes every open element from the innermost outward, as if their end tags had come;
// the document level gets OnEnd with 0.
HRESULT ContentHandler::RunAbort() {
    aborted_ = true;
    savedError_ = SavedError();
    savedError_.hr = QRSAX_E_ABORT;
    while (!stack_.empty()) {
        State state = stack_.back();
        stack_.pop_back();
        if (!state.entry) continue;
        HRESULT hr = S_OK;
        if (state.handler) hr = state.handler->OnEnd(state.entry->id);
        if (SUCCEEDED(hr) && state.entry->kind == kComplexElement && !stack_.empty() && stack_.back().handler)
            hr = stack_.back().handler->OnChildEnd(state.entry->id, state.handler);
        // A second request to stop changes nothing: the abort is under way.
        if (FAILED(hr) && hr != QRSAX_E_ABORT) return hr;
    }
    return QRSAX_E_ABORT;
}

// ---- Errors --------------------------------------------------------------------------

// Adds an element naming the element being parsed and its position, then keeps the
// document for the end of the parse.
void ContentHandler::FailWithContext(QRComException& xhr, const wchar_t* method, const wchar_t* name,
                                     int length, std::wstring& context) noexcept {
    try {
        context.assign(L"Parsing element ");
        if (name && length > 0) context.append(name, static_cast<size_t>(length));
        if (locator_) context += Position(locator_.get());
        xhr.Enter(method, 0);
        xhr.SetActivity(context.c_str());
        xhr.AddError();
    } catch (...) {
        // The failure stands without its context when even that cannot be recorded.
    }
    xhr.Result();
    SaveError(xhr.result);
}

void ContentHandler::SaveError(HRESULT hr) noexcept {
    savedError_ = SavedError();
    savedError_.hr = hr;
    if (!FAILED(hr) || GetErrorInfo(0, savedError_.info.put()) != S_OK) return;
    SetErrorInfo(0, savedError_.info.get());  // taking it cleared it on the thread
}

// Makes the saved error the thread's error information again; returns its HRESULT.
HRESULT ContentHandler::PublishSavedError() noexcept {
    SetErrorInfo(0, savedError_.info.get());
    return savedError_.hr;
}

HRESULT ContentHandler::error(ISAXLocator* locator, const wchar_t* message, HRESULT hr) {
    return ReportReaderError(locator, message, hr, L"MSXML Error: %ls");
}

HRESULT ContentHandler::fatalError(ISAXLocator* locator, const wchar_t* message, HRESULT hr) {
    return ReportReaderError(locator, message, hr, L"MSXML Fatal error: %ls");
}

// Only the first failure counts: after a handler failed, the reader reports it again
// in its own words.
HRESULT ContentHandler::ReportReaderError(ISAXLocator* locator, const wchar_t* message, HRESULT hr,
                                          const wchar_t* format) noexcept {
    if (FAILED(savedError_.hr)) return hr;
    if (hr == QRSAX_E_ABORT) {
        savedError_ = SavedError();
        savedError_.hr = QRSAX_E_ABORT;
        return hr;
    }
    std::wstring context;
    QRComException xhr;
    try {
        if (locator) context = L"Parsing XML " + Position(locator);
        xhr.SetActivity(context.c_str());
        xhr.SetError(hr, format, message ? message : L"");
    }
    QR_CATCH_COM(xhr)
    SaveError(xhr.Result());
    return hr;
}

std::wstring ContentHandler::Position(ISAXLocator* locator) const {
    int line = 0, column = 0;
    locator->getLineNumber(&line);
    locator->getColumnNumber(&column);
    if (line <= 1) column += columnsCut_;
    return FormatWide(L"(Ln %d, Col %d)", line + linesCut_, column);
}

void ContentHandler::CountCut(std::wstring_view cut) noexcept {
    // CR LF, a lone CR and a lone LF each end a line, as XML reads them.
    for (size_t i = 0; i < cut.size(); ++i) {
        if (cut[i] == L'\r' && i + 1 < cut.size() && cut[i + 1] == L'\n') ++i;
        if (cut[i] == L'\r' || cut[i] == L'\n') {
            ++linesCut_;
            columnsCut_ = 0;
        } else {
            ++columnsCut_;
        }
    }
}

// ---- Schema lookup -------------------------------------------------------------------

const SchemaEntry* ContentHandler::FindElement(const wchar_t* name, int length) const noexcept {
    for (const SchemaEntry* entry = schema_ + 1; entry->kind != kSchemaEnd; ++entry)
        if ((entry->kind == kComplexElement || IsSimpleElement(entry->kind)) && NameMatches(entry, name, length))
            return entry;
    return nullptr;
}

const SchemaEntry* ContentHandler::FindAttribute(const SchemaEntry* element, const wchar_t* name,
                                                 int length) const noexcept {
    for (const SchemaEntry* entry = element + 1; entry->kind != kEndMembers && entry->kind != kSchemaEnd; ++entry)
        if (IsAttribute(entry->kind) && NameMatches(entry, name, length)) return entry;
    return nullptr;
}

} // namespace SAXSchemaParserImpl

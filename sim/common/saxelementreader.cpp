#include "saxelementreader.h"

#include <algorithm>
#include <exception>
#include "globalinclude/readerinput.h"
#include "globalinclude/saxidentifiers.h"
#include "simerror.h"
#include "simxmltext.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace sim {

std::wstring XmlElement::Attribute(std::wstring_view attributeName) const {
    for (const XmlAttribute& attribute : attributes)
        if (attribute.name == attributeName) return attribute.value;
    return std::wstring();
}

namespace {

// {7F85D5F5-47A8-4497-BDA5-84BA04819EA6}: MinGW declares the interface without it.
const IID kLexicalHandlerIid = {0x7f85d5f5, 0x47a8, 0x4497, {0xbd, 0xa5, 0x84, 0xba, 0x04, 0x81, 0x9e, 0xa6}};

// The content of the next CDATA section in `text` from `from` on, with XML's line ends (CR LF
// and a lone CR read as LF); `from` moves past the section. Comments and processing
// instructions are passed over; in a well-formed document nothing else can hold "<![CDATA[".
std::wstring NextCdataSection(std::wstring_view text, size_t& from) {
    static constexpr std::wstring_view kStart = L"<![CDATA[", kEnd = L"]]>";
    for (size_t at = text.find(L'<', from); at != std::wstring_view::npos; at = text.find(L'<', at + 1)) {
        std::wstring_view rest = text.substr(at);
        if (rest.substr(0, 4) == L"<!--") {
            at = text.find(L"-->", at + 4);
        } else if (rest.substr(0, 2) == L"<?") {
            at = text.find(L"?>", at + 2);
        } else if (rest.substr(0, kStart.size()) == kStart) {
            const size_t begin = at + kStart.size(), end = std::min(text.find(kEnd, begin), text.size());
            from = end + kEnd.size();
            std::wstring content;
            content.reserve(end - begin);
            for (size_t i = begin; i < end; ++i) {
                if (text[i] != L'\r') content += text[i];
                else if (i + 1 == end || text[i + 1] != L'\n') content += L'\n';
            }
            return content;
        }
        if (at == std::wstring_view::npos) break;
    }
    from = text.size();
    return std::wstring();
}

// Lives on the stack for one parse; the reader holds it only while it parses.
// CDATA sections are taken from the text itself: Wine's reader drops the part of one that
// follows its last line end.
class ElementEvents final : public ISAXContentHandler, public ISAXErrorHandler, public ISAXLexicalHandler {
public:
    ElementEvents(std::wstring_view text, XmlElementVisitor& visitor) : source_(text), visitor_(visitor) {}

    std::exception_ptr visitorFailure;  // the first failure the visitor threw
    std::wstring parseError;            // the parser's reason when the text is not well-formed
    int parseErrorLine = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISAXContentHandler) *out = static_cast<ISAXContentHandler*>(this);
        else if (iid == IID_ISAXErrorHandler) *out = static_cast<ISAXErrorHandler*>(this);
        else if (iid == kLexicalHandlerIid) *out = static_cast<ISAXLexicalHandler*>(this);
        else *out = nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP putDocumentLocator(ISAXLocator*) override { return S_OK; }
    STDMETHODIMP startDocument() override { return S_OK; }
    STDMETHODIMP endDocument() override { return S_OK; }
    STDMETHODIMP startPrefixMapping(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP endPrefixMapping(const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP startElement(const wchar_t*, int, const wchar_t*, int, const wchar_t* name, int nameLength,
                              ISAXAttributes* attributes) override {
        Visit([&] {
            element_.name.assign(name, static_cast<size_t>(nameLength));
            element_.depth = wanted_.size();
            element_.attributes.clear();
            int count = 0;
            if (attributes) attributes->getLength(&count);
            for (int i = 0; i < count; ++i) {
                const wchar_t *attributeName = nullptr, *value = nullptr;
                int attributeNameLength = 0, valueLength = 0;
                if (FAILED(attributes->getQName(i, &attributeName, &attributeNameLength)) ||
                    FAILED(attributes->getValue(i, &value, &valueLength)))
                    continue;
                element_.attributes.push_back({std::wstring(attributeName, static_cast<size_t>(attributeNameLength)),
                                               std::wstring(value, static_cast<size_t>(valueLength))});
            }
            const bool wanted = visitor_.OnStart(element_);
            if (wanted) texts_.emplace_back();
            wanted_.push_back(wanted);
        });
        if (!visitorFailure) return S_OK;
        wanted_.push_back(false);  // the depth still counts while the rest is checked
        return S_OK;
    }
    STDMETHODIMP endElement(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int) override {
        if (wanted_.empty()) return S_OK;
        const size_t depth = wanted_.size() - 1;
        const bool wanted = wanted_.back();
        wanted_.pop_back();
        std::wstring text;
        if (wanted && !texts_.empty()) {
            text.swap(texts_.back());
            texts_.pop_back();
        }
        Visit([&] { visitor_.OnEnd(depth, text); });
        return S_OK;
    }
    STDMETHODIMP characters(const wchar_t* text, int length) override {
        // Text belongs to the innermost open element only.
        if (!inCdata_ && Collecting()) texts_.back().append(text, static_cast<size_t>(length));
        return S_OK;
    }
    STDMETHODIMP ignorableWhitespace(const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP processingInstruction(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP skippedEntity(const wchar_t*, int) override { return S_OK; }

    STDMETHODIMP error(ISAXLocator* locator, const wchar_t* message, HRESULT hr) override {
        return fatalError(locator, message, hr);
    }
    STDMETHODIMP fatalError(ISAXLocator* locator, const wchar_t* message, HRESULT hr) override {
        if (parseError.empty()) {
            parseError = message ? message : L"";
            if (locator) locator->getLineNumber(&parseErrorLine);
        }
        return FAILED(hr) ? hr : E_FAIL;
    }
    STDMETHODIMP ignorableWarning(ISAXLocator*, const wchar_t*, HRESULT) override { return S_OK; }

    STDMETHODIMP startDTD(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP endDTD() override { return S_OK; }
    STDMETHODIMP startEntity(const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP endEntity(const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP startCDATA() override {
        inCdata_ = true;
        std::wstring content = NextCdataSection(source_, cdataFrom_);
        if (Collecting()) texts_.back() += content;
        return S_OK;
    }
    STDMETHODIMP endCDATA() override {
        inCdata_ = false;
        return S_OK;
    }
    STDMETHODIMP comment(const wchar_t*, int) override { return S_OK; }

private:
    bool Collecting() const { return !visitorFailure && !wanted_.empty() && wanted_.back(); }

    // After the visitor's first failure the rest of the text is only checked.
    template <class Work>
    void Visit(Work&& work) {
        if (visitorFailure) return;
        try {
            work();
        } catch (...) {
            visitorFailure = std::current_exception();
        }
    }

    std::wstring_view source_;
    size_t cdataFrom_ = 0;  // where the next CDATA section is looked for
    bool inCdata_ = false;
    XmlElementVisitor& visitor_;
    XmlElement element_;
    std::vector<bool> wanted_;         // per open element: whether its text is collected
    std::vector<std::wstring> texts_;  // per open element that wants it: its text so far
};

} // namespace

void ReadXmlElements(std::wstring_view text, const wchar_t* what, XmlElementVisitor& visitor) {
    RefuseUnreadableXml(text, what);
    winkit::ComPtr<ISAXXMLReader> reader;
    HRESULT hr = CoCreateInstance(CLSID_SAXXMLReader60, nullptr, CLSCTX_INPROC_SERVER, IID_ISAXXMLReader,
                                  reader.put_void());
    if (FAILED(hr)) FailWithCause(hr, L"Unable to create an MSXML 6 SAX reader");
    reader->putFeature(L"prohibit-dtd", VARIANT_TRUE);
    // Namespace declarations count as attributes, as they do in the DOM.
    reader->putFeature(L"http://xml.org/sax/features/namespace-prefixes", VARIANT_TRUE);
    ElementEvents events(text, visitor);
    reader->putContentHandler(&events);
    reader->putErrorHandler(&events);
    VARIANT lexical;
    V_VT(&lexical) = VT_UNKNOWN;
    V_UNKNOWN(&lexical) = static_cast<ISAXLexicalHandler*>(&events);
    hr = reader->putProperty(L"http://xml.org/sax/properties/lexical-handler", lexical);
    if (FAILED(hr)) FailWithCause(hr, L"The MSXML 6 SAX reader refused a lexical handler");
    winkit::UniqueBstr source = winkit::UniqueBstr::Copy(text);
    VARIANT input;
    V_VT(&input) = VT_BSTR;
    V_BSTR(&input) = source.get();
    ReaderInput stream(input);
    hr = reader->parse(input);
    reader->putContentHandler(nullptr);
    reader->putErrorHandler(nullptr);
    VARIANT none;
    V_VT(&none) = VT_UNKNOWN;
    V_UNKNOWN(&none) = nullptr;
    reader->putProperty(L"http://xml.org/sax/properties/lexical-handler", none);
    if (!events.parseError.empty() || (FAILED(hr) && !events.visitorFailure))
        FailNotWellFormed(what, events.parseError, events.parseErrorLine);
    if (events.visitorFailure) std::rethrow_exception(events.visitorFailure);
}

} // namespace sim

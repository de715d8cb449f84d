#include "support/xml_dom.h"

#include <windows.h>
#include <msxml2.h>
#include "support/call_text.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"

EXTERN_C const CLSID CLSID_DOMDocument60;

namespace {

// MinGW declares the DOM interfaces without defining their identifiers.
constexpr IID kIXMLDOMDocument = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

std::wstring ValueOf(IXMLDOMNode* node) {
    winkit::UniqueVariant value;
    return SUCCEEDED(node->get_nodeValue(value.put())) && value.vt() == VT_BSTR ? BstrText(V_BSTR(value.get())) : L"";
}

std::wstring NameOf(IXMLDOMNode* node) {
    winkit::UniqueBstr name;
    node->get_nodeName(name.put());
    return BstrText(name.get());
}

// The element and the elements below it, in document order; its text is its own
// character data and CDATA sections. Recursion only as deep as the document (at most 1000).
void Collect(IXMLDOMNode* node, int depth, std::vector<DomElementInfo>& out) {
    size_t at = out.size();
    out.push_back({NameOf(node), {}, {}, depth});
    winkit::ComPtr<IXMLDOMNamedNodeMap> attributes;
    long count = 0;
    if (SUCCEEDED(node->get_attributes(attributes.put())) && attributes) attributes->get_length(&count);
    for (long i = 0; i < count; ++i) {
        winkit::ComPtr<IXMLDOMNode> attribute;
        if (SUCCEEDED(attributes->get_item(i, attribute.put())) && attribute)
            out[at].attributes[NameOf(attribute.get())] = ValueOf(attribute.get());
    }
    winkit::ComPtr<IXMLDOMNode> child;
    node->get_firstChild(child.put());
    while (child) {
        DOMNodeType type = NODE_INVALID;
        child->get_nodeType(&type);
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION) out[at].text += ValueOf(child.get());
        if (type == NODE_ELEMENT && depth < 1000) Collect(child.get(), depth + 1, out);
        winkit::ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        child = std::move(next);
    }
}

DomReadResult Read(bool fromFile, const std::wstring& source) {
    DomReadResult result;
    winkit::ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument,
                                document.put_void()))) {
        result.reason = L"no MSXML 6 DOM document";
        return result;
    }
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    winkit::UniqueVariant text = winkit::UniqueVariant::String(source);
    fromFile ? document->load(*text.get(), &loaded) : document->loadXML(V_BSTR(text.get()), &loaded);
    if (loaded != VARIANT_TRUE) {
        winkit::ComPtr<IXMLDOMParseError> error;
        winkit::UniqueBstr reason;
        if (SUCCEEDED(document->get_parseError(error.put())) && error) error->get_reason(reason.put());
        result.reason = BstrText(reason.get());
        return result;
    }
    result.wellFormed = true;
    winkit::ComPtr<IXMLDOMElement> root;
    if (SUCCEEDED(document->get_documentElement(root.put())) && root) Collect(root.get(), 0, result.elements);
    return result;
}

} // namespace

std::vector<const DomElementInfo*> DomReadResult::Named(const std::wstring& name) const {
    std::vector<const DomElementInfo*> found;
    for (const DomElementInfo& element : elements)
        if (element.name == name) found.push_back(&element);
    return found;
}

std::wstring DomReadResult::Attribute(const DomElementInfo& element, const std::wstring& name) {
    auto found = element.attributes.find(name);
    return found == element.attributes.end() ? L"" : found->second;
}

DomReadResult ReadXmlFile(const std::wstring& path) { return Read(true, path); }

DomReadResult ReadXmlText(const std::wstring& text) { return Read(false, text); }

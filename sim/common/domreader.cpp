#include "domreader.h"

#include "simerror.h"
#include "winkit/bstr_text.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"
#include "simxmltext.h"

namespace sim {

namespace {

void Check(HRESULT hr, const wchar_t* what) {
    if (FAILED(hr)) FailWithCause(hr, L"The XML parser failed while %ls", what);
}

} // namespace

DomReader::DomReader(std::wstring_view text, const wchar_t* what) {
    RefuseUnreadableXml(text, what);  // the DOM would read only up to a NUL
    HRESULT hr = CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                  document_.put_void());
    if (FAILED(hr)) FailWithCause(hr, L"Unable to create an MSXML 6 DOM document");
    document_->put_async(VARIANT_FALSE);
    document_->put_validateOnParse(VARIANT_FALSE);
    document_->put_resolveExternals(VARIANT_FALSE);
    document_->put_preserveWhiteSpace(VARIANT_TRUE);
    winkit::ComPtr<IXMLDOMDocument2> document2;
    if (SUCCEEDED(document_->QueryInterface(IID_IXMLDOMDocument2, document2.put_void()))) {
        winkit::UniqueBstr name = winkit::UniqueBstr::Copy(L"ProhibitDTD");
        document2->setProperty(name.get(), *winkit::UniqueVariant::Bool(true).get());
    }
    winkit::UniqueBstr source = winkit::UniqueBstr::Copy(text);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    hr = document_->loadXML(source.get(), &loaded);
    if (FAILED(hr)) FailWithCause(hr, L"%ls could not be read", what);
    if (loaded != VARIANT_TRUE) {
        winkit::ComPtr<IXMLDOMParseError> error;
        winkit::UniqueBstr reason;
        long line = 0;
        if (SUCCEEDED(document_->get_parseError(error.put())) && error) {
            error->get_reason(reason.put());
            error->get_line(&line);
        }
        FailNotWellFormed(what, reason.str(), line);
    }
}

DomElement DomReader::Root() const {
    DomElement root;
    HRESULT hr = document_->get_documentElement(root.put());
    if (FAILED(hr)) FailWithCause(hr, L"The XML document has no root element");
    if (!root) Fail(E_INVALIDARG, L"The XML document has no root element");
    return root;
}

std::wstring DomReader::Name(IXMLDOMElement* element) {
    winkit::UniqueBstr name;
    Check(element->get_tagName(name.put()), L"reading an element name");
    return name.str();
}

std::wstring DomReader::Attribute(IXMLDOMElement* element, const wchar_t* name, bool* present) {
    winkit::UniqueBstr attributeName = winkit::UniqueBstr::Copy(name);
    winkit::UniqueVariant value;
    HRESULT hr = element->getAttribute(attributeName.get(), value.put());
    Check(hr, L"reading an attribute");
    bool found = hr == S_OK && value.vt() == VT_BSTR;
    if (present) *present = found;
    return found ? winkit::BstrText(V_BSTR(value.get())) : std::wstring();
}

std::vector<std::wstring> DomReader::AttributeNames(IXMLDOMElement* element) {
    std::vector<std::wstring> names;
    winkit::ComPtr<IXMLDOMNamedNodeMap> attributes;
    Check(element->get_attributes(attributes.put()), L"reading attributes");
    long count = 0;
    if (attributes) attributes->get_length(&count);
    for (long i = 0; i < count; ++i) {
        winkit::ComPtr<IXMLDOMNode> node;
        if (FAILED(attributes->get_item(i, node.put())) || !node) continue;
        winkit::UniqueBstr name;
        node->get_nodeName(name.put());
        names.push_back(name.str());
    }
    return names;
}

std::vector<DomElement> DomReader::Children(IXMLDOMElement* element) {
    std::vector<DomElement> children;
    winkit::ComPtr<IXMLDOMNode> node;
    Check(element->get_firstChild(node.put()), L"walking the elements");
    while (node) {
        DOMNodeType type = NODE_INVALID;
        node->get_nodeType(&type);
        if (type == NODE_ELEMENT) {
            DomElement child;
            if (SUCCEEDED(node->QueryInterface(IID_IXMLDOMElement, child.put_void()))) children.push_back(std::move(child));
        }
        winkit::ComPtr<IXMLDOMNode> next;
        node->get_nextSibling(next.put());
        node = std::move(next);
    }
    return children;
}

std::wstring DomReader::Text(IXMLDOMElement* element) {
    std::wstring text;
    winkit::ComPtr<IXMLDOMNode> node;
    Check(element->get_firstChild(node.put()), L"reading character data");
    while (node) {
        DOMNodeType type = NODE_INVALID;
        node->get_nodeType(&type);
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION) {
            winkit::UniqueVariant value;
            if (SUCCEEDED(node->get_nodeValue(value.put())) && value.vt() == VT_BSTR)
                text += winkit::BstrView(V_BSTR(value.get()));
        }
        winkit::ComPtr<IXMLDOMNode> next;
        node->get_nextSibling(next.put());
        node = std::move(next);
    }
    return text;
}

} // namespace sim

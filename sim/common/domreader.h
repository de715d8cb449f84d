#pragma once
// Reading a small XML document with the MSXML 6 DOM: loading a text with document type
// declarations refused, and the few ways of walking elements the components need.
#include <windows.h>
#include <msxml2.h>
#include <string>
#include <string_view>
#include <vector>
#include "winkit/com_ptr.h"

EXTERN_C const CLSID CLSID_DOMDocument60;
EXTERN_C const IID IID_IXMLDOMDocument2;

namespace sim {

using DomElement = winkit::ComPtr<IXMLDOMElement>;

class DomReader {
public:
    // Parses `text`; `what` names the document in messages ("The claims document").
    // Throws a QRComException (E_INVALIDARG) for a document type declaration or a
    // document that is not well-formed, with the parser's reason and line.
    DomReader(std::wstring_view text, const wchar_t* what);

    DomElement Root() const;

    static std::wstring Name(IXMLDOMElement* element);
    // The attribute's value; `present` (when given) tells whether it exists.
    static std::wstring Attribute(IXMLDOMElement* element, const wchar_t* name, bool* present = nullptr);
    // Names of all attributes, in document order.
    static std::vector<std::wstring> AttributeNames(IXMLDOMElement* element);
    // Child elements in document order (text, comments and the like are passed over).
    static std::vector<DomElement> Children(IXMLDOMElement* element);
    // The element's character data: its text and CDATA children joined, exactly as written.
    static std::wstring Text(IXMLDOMElement* element);

private:
    winkit::ComPtr<IXMLDOMDocument> document_;
};

} // namespace sim

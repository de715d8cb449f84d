#pragma once
// Reading an XML document element by element with the MSXML 6 SAX reader, without
// building its tree: a workspace of 100,000 tasks took some 600 MB as a DOM tree.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

struct XmlAttribute {
    std::wstring name;
    std::wstring value;
};

// An element as it starts: its qualified name, its attributes in document order and its
// depth (0 for the root).
struct XmlElement {
    std::wstring name;
    std::vector<XmlAttribute> attributes;
    size_t depth = 0;

    // The attribute's value, or the empty text when it is missing.
    std::wstring Attribute(std::wstring_view attributeName) const;
};

class XmlElementVisitor {
public:
    // Returns whether the element's own character data is wanted at its end.
    virtual bool OnStart(const XmlElement& element) = 0;
    // `text`: the element's text and CDATA sections joined, exactly as written, without
    // its child elements' (empty when OnStart did not want it).
    virtual void OnEnd(size_t depth, std::wstring& text) = 0;

protected:
    ~XmlElementVisitor() = default;
};

// Parses `text`; `what` names the document in messages ("The workspace file"). Throws a
// QRComException (E_INVALIDARG) for a document type declaration, a NUL, or a document that
// is not well-formed, with the parser's reason and line. A failure the visitor throws is
// thrown once the whole text has been read and found well-formed: a document that is not
// is reported as such first, whatever else is wrong with it.
void ReadXmlElements(std::wstring_view text, const wchar_t* what, XmlElementVisitor& visitor);

} // namespace sim

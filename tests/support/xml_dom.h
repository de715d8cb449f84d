#pragma once
// Reading XML for checks with MSXML 6's DOM, independently of the library's own reader.
#include <map>
#include <string>
#include <vector>

struct DomElementInfo {
    std::wstring name;
    std::map<std::wstring, std::wstring> attributes;
    std::wstring text;  // its own character data and CDATA sections, joined
    int depth = 0;  // 0 for the document element
};

struct DomReadResult {
    bool wellFormed = false;
    std::wstring reason;                  // the parser's, when not well-formed
    std::vector<DomElementInfo> elements;  // every element, in document order
    std::vector<const DomElementInfo*> Named(const std::wstring& name) const;
    // The attribute of the element; empty when it has none.
    static std::wstring Attribute(const DomElementInfo& element, const std::wstring& name);
};

// Loads the file by its path (the file's own encoding declaration counts).
DomReadResult ReadXmlFile(const std::wstring& path);
// Loads the text as loadXML does.
DomReadResult ReadXmlText(const std::wstring& text);

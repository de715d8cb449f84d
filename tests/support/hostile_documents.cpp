#include "support/hostile_documents.h"

std::wstring Repeated(const std::wstring& text, size_t times) {
    std::wstring out;
    out.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) out += text;
    return out;
}

std::wstring Nested(const std::wstring& name, const std::wstring& attributes, int depth) {
    std::wstring open = L"<" + name + (attributes.empty() ? L"" : L" " + attributes) + L">";
    std::wstring close = L"</" + name + L">";
    return Repeated(open, static_cast<size_t>(depth)) + Repeated(close, static_cast<size_t>(depth));
}

std::vector<NamedDocument> DeclarationDocuments(const std::wstring& root, const DocumentBody& body,
                                                const std::wstring& fileUrl) {
    std::vector<NamedDocument> documents;
    auto add = [&](const wchar_t* name, std::wstring text) { documents.push_back({name, std::move(text)}); };

    add(L"internal entity", L"<!DOCTYPE " + root + L" [<!ENTITY e \"expanded\">]>" + body(L"&e;", L"&e;"));

    std::wstring laughs = L"<?xml version=\"1.0\"?>\n<!DOCTYPE " + root + L" [\n <!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 10; ++level)
        laughs += L" <!ENTITY lol" + std::to_wstring(level) + L" \"" +
                  Repeated(L"&lol" + std::to_wstring(level - 1) + L";", 10) + L"\">\n";
    add(L"billion laughs", laughs + L"]>\n" + body(L"&lol10;", L"&lol10;"));

    std::wstring quadratic = L"<!DOCTYPE " + root + L" [<!ENTITY big \"" + std::wstring(50000, L'q') + L"\">]>";
    add(L"quadratic blowup", quadratic + body(Repeated(L"&big;", 5000), L"&big;"));

    add(L"external entity in content",
        L"<!DOCTYPE " + root + L" [<!ENTITY x SYSTEM \"" + fileUrl + L"\">]>" + body(L"v", L"&x;"));
    add(L"external entity in an attribute",
        L"<!DOCTYPE " + root + L" [<!ENTITY x SYSTEM \"" + fileUrl + L"\">]>" + body(L"&x;", L""));
    add(L"external parameter entity",
        L"<!DOCTYPE " + root + L" [<!ENTITY % p SYSTEM \"" + fileUrl + L"\"> %p;]>" + body(L"v", L""));
    add(L"external subset", L"<!DOCTYPE " + root + L" SYSTEM \"" + fileUrl + L"\">" + body(L"v", L""));
    add(L"public identifier",
        L"<!DOCTYPE " + root + L" PUBLIC \"-//QR//Hostile//EN\" \"" + fileUrl + L"\">" + body(L"v", L""));
    add(L"behind a byte order mark, declaration, comment and instruction",
        L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<!-- <!DOCTYPE> -->\n<?x y?>\n<!DOCTYPE " + root +
            L" SYSTEM \"" + fileUrl + L"\">" + body(L"v", L""));
    add(L"lower-case doctype", L"<!doctype " + root + L" SYSTEM \"" + fileUrl + L"\">" + body(L"v", L""));
    return documents;
}

std::vector<NamedDocument> ReferenceDocuments(const DocumentBody& body, const std::wstring& fileUrl) {
    std::vector<NamedDocument> documents;
    auto add = [&](const wchar_t* name, std::wstring text) { documents.push_back({name, std::move(text)}); };
    add(L"XInclude",
        body(L"v", L"<xi:include xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"" + fileUrl + L"\" parse=\"text\"/>"));
    add(L"stylesheet instruction",
        L"<?xml-stylesheet type=\"text/xsl\" href=\"" + fileUrl + L"\"?>" + body(L"v", L""));
    add(L"schema location",
        body(L"v", L"<s xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:noNamespaceSchemaLocation=\"" +
                       fileUrl + L"\"/>"));
    add(L"undeclared entity", body(L"&undeclared;", L"&undeclared;"));
    return documents;
}

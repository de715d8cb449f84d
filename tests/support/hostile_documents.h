#pragma once
// Hostile XML texts shared by the hostile-document suites: document type declarations in
// all their forms (internal and external entities, entity expansion bombs, external
// subsets), references to a local file by other means, and deep or repeated markup.
#include <functional>
#include <string>
#include <vector>

struct NamedDocument {
    std::wstring name;
    std::wstring text;
};

// Builds the document element of a channel's document with `value` as the value of one
// of its attributes and `content` inside an element that may hold text.
using DocumentBody = std::function<std::wstring(const std::wstring& value, const std::wstring& content)>;

// Documents whose prolog declares a document type: an internal entity, the "billion
// laughs" and quadratic expansion bombs, external general and parameter entities and an
// external subset naming `fileUrl`, each behind the prolog forms a reader must look past.
// `root` is the name of the body's document element.
std::vector<NamedDocument> DeclarationDocuments(const std::wstring& root, const DocumentBody& body,
                                                const std::wstring& fileUrl);

// Documents that name the file without a declaration: XInclude, a stylesheet
// instruction, a schema location, xml:base and a reference to an undeclared entity.
std::vector<NamedDocument> ReferenceDocuments(const DocumentBody& body, const std::wstring& fileUrl);

// `depth` elements <name attributes> nested in each other and closed again.
std::wstring Nested(const std::wstring& name, const std::wstring& attributes, int depth);
std::wstring Repeated(const std::wstring& text, size_t times);

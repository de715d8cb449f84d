#pragma once
// What a document's prolog holds, found before any parser sees the document.
#include <cstddef>

// True when a document type declaration ("<!DOCTYPE", case-sensitive as XML is) follows
// the optional byte order mark, XML declaration, comments, processing instructions and
// white space of the prolog. Such documents are refused: a DTD can declare entities
// that expand without bound or name external resources.
bool HasDocumentTypeDeclaration(const wchar_t* text, size_t length) noexcept;

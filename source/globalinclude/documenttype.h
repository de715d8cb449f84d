#pragma once
// Documents that carry a document type declaration are refused before any parser sees
// them: a DTD can declare entities that expand without bound or name external
// resources, and neither Wine's DOM nor its SAX reader can be told to ignore one.
#include <string_view>

// True when "<!DOCTYPE" stands anywhere in the text, in any case, NULs included: in the
// prolog, where a declaration belongs, and anywhere else, so that no reader's leniency
// (a declaration after the root element, in lower case, behind a malformed prolog) is
// ever relied on.
bool HasDocumentTypeDeclaration(std::wstring_view text) noexcept;

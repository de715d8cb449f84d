#pragma once
// The text of a string field of the object records, never null.
#include <string>
#include "objschema.h"

inline std::wstring RecordText(const std::wstring& field) { return field; }

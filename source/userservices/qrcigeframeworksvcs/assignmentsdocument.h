#pragma once
// The assignments document of a Create or Update task: the engineering item the task
// makes or changes, as an object document (one-letter elements O, A, E), read into
// object records and written back from them.
#include <windows.h>
#include <string>
#include <vector>
#include "objrecords.h"

// The records of the document: one top object for a well-formed document, none for an
// empty or unreadable one.
std::vector<ObjRecord> ReadAssignments(const std::wstring& document);

// Writes the top object and everything under it, without an XML declaration, starting
// with the top element itself. The top object's X becomes the task's index, sub-objects
// keep theirs. Fails only when the writer cannot be made or its text cannot be taken
// (the document is then untouched).
HRESULT WriteAssignments(const ObjRecord& top, long taskIndex, std::wstring& document);

#pragma once
// Reading and planting the thread's COM error information in tests.
#include <windows.h>
#include <oleauto.h>
#include <string>

struct ThreadError {
    bool present = false;
    std::wstring source;
    std::wstring description;
};

// Takes the thread's error information (which clears it) and returns its texts.
ThreadError TakeThreadError();
// Leaves an error information object on the thread, as a failing component does.
void PlantThreadError(const wchar_t* source, const wchar_t* description, REFIID iid = GUID_NULL);
void ClearThreadError();

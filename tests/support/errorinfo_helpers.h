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
// Sets an error information object with the given source and description on the thread.
void PlantThreadError(const wchar_t* source, const wchar_t* description);
// Clears the thread's error information.
void ClearThreadError();

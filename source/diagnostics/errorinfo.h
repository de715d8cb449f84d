#pragma once
// Building error information objects: the one place that fills an ICreateErrorInfo.
#include <windows.h>
#include <oleauto.h>
#include "winkit/com_ptr.h"

// What an error information object carries; null texts are left unset.
struct ErrorInfoFields {
    const wchar_t* source = nullptr;
    const wchar_t* description = nullptr;
    GUID guid = GUID_NULL;
    const wchar_t* helpFile = nullptr;
    DWORD helpContext = 0;
};

// A new error information object with the fields; null when none can be made.
winkit::ComPtr<IErrorInfo> MakeErrorInfo(const ErrorInfoFields& fields) noexcept;

// Makes the fields the thread's error information, as a failing component leaves them.
void SetThreadErrorInfo(const ErrorInfoFields& fields) noexcept;

#include "hresulttext.h"

#include <cwchar>

std::wstring HResultMessage(HRESULT hr) {
    wchar_t text[512] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 512, nullptr);
    std::wstring message(text, n < 512 ? n : 511);
    if (message.size() > 1 && message.back() == L'\n') {
        message.pop_back();
        if (!message.empty() && message.back() == L'\r') message.pop_back();
    }
    if (message.empty()) {
        wchar_t unknown[256];
        swprintf(unknown, 256, L"Unknown error 0x%0lX", static_cast<unsigned long>(hr));
        message = unknown;
    }
    return message;
}

std::wstring HResultHex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%lx", static_cast<unsigned long>(hr));
    return text;
}

std::wstring HResultName(HRESULT hr) {
    static const struct { HRESULT code; const wchar_t* name; } names[] = {
        {E_NOTIMPL, L"E_NOTIMPL"},       {E_NOINTERFACE, L"E_NOINTERFACE"}, {E_POINTER, L"E_POINTER"},
        {E_FAIL, L"E_FAIL"},             {E_UNEXPECTED, L"E_UNEXPECTED"},   {E_ACCESSDENIED, L"E_ACCESSDENIED"},
        {E_OUTOFMEMORY, L"E_OUTOFMEMORY"}, {E_INVALIDARG, L"E_INVALIDARG"},
    };
    for (const auto& entry : names)
        if (entry.code == hr) return entry.name;
    return HResultHex(hr);
}

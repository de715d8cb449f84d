#pragma once
// Texts for HRESULTs, as the QRError documents carry them.
#include <windows.h>
#include <string>

// The system's message for the code without its trailing line break, or
// "Unknown error 0x%0lX".
std::wstring HResultMessage(HRESULT hr);
// The value of an HR attribute: a name such as "E_FAIL", or "0x" and lower-case hex.
std::wstring HResultName(HRESULT hr);
std::wstring HResultHex(HRESULT hr);

#pragma once
// The spreadsheet application's class, registered under the ProgID "Excel.Application".
#include <windows.h>

// {6C16966B-1AC6-41A8-B339-B6D16CCE9367}
inline constexpr CLSID CLSID_QRSimSpreadsheetApplication = {
    0x6c16966b, 0x1ac6, 0x41a8, {0xb3, 0x39, 0xb6, 0xd1, 0x6c, 0xce, 0x93, 0x67}};

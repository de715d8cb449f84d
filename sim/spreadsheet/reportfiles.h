#pragma once
// Where the spreadsheet application leaves its workbooks, and how a caller finds the last one.
#include <windows.h>
#include <string>
#include "workbook.h"

// HKCU\Software\QRSim\Spreadsheet: ReportsFolder (REG_SZ, optional) chooses the folder;
// LastReport (REG_SZ) receives the full path of every file written.
inline constexpr const wchar_t* kSpreadsheetSettingsKey = L"Software\\QRSim\\Spreadsheet";
inline constexpr const wchar_t* kReportsFolderValue = L"ReportsFolder";
inline constexpr const wchar_t* kLastReportValue = L"LastReport";

// The configured folder, or "QRSim Reports" in the user's documents folder.
std::wstring ReportsFolder();

// Writes the workbook as a new .xlsx file in the reports folder (made when missing), named
// after the local time and a counter so that no file is ever overwritten, and records its
// path as LastReport. Returns the path, or an empty text when nothing could be written.
std::wstring SaveWorkbook(const Workbook& book);

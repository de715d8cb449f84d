#pragma once
// Reading back what the spreadsheet application wrote, independently of its writer: the
// entries of a stored zip archive, and the cells and column widths of a worksheet part
// read with MSXML's DOM (a part that is not well-formed fails the test).
#include <map>
#include <string>

// Entry name -> bytes. Fails (an empty map and a reason) on anything but well-formed
// stored entries whose CRC-32 matches.
std::map<std::string, std::string> ReadStoredZip(const std::string& archive, std::string* problem);

struct SheetCell {
    std::string type;   // the t attribute: "inlineStr", "b", "e" or empty for numbers
    int style = 0;      // the s attribute
    bool hasValue = false;
    std::wstring text;  // the inline string or the <v> content
};

struct SheetContent {
    std::map<std::wstring, SheetCell> cells;  // by reference, e.g. L"D3"
    std::map<int, double> widths;             // column number -> width
    std::string dimension;

    const SheetCell* Find(const std::wstring& reference) const {
        auto found = cells.find(reference);
        return found == cells.end() ? nullptr : &found->second;
    }
};

SheetContent ReadSheetXml(const std::string& xml);

// The whole of a file.
std::string FileBytes(const std::wstring& path);

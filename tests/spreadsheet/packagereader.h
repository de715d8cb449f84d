#pragma once
// Reading back what the spreadsheet application wrote, independently of its writer: the
// entries of a stored zip archive, and the cells and column widths of a worksheet part
// read with MSXML's DOM (a part that is not well-formed fails the test).
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include "storedzip.h"
#include "support/xml_dom.h"

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

namespace packagereader_detail {

inline uint32_t Read16(const std::string& s, size_t at) {
    return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}
inline uint32_t Read32(const std::string& s, size_t at) { return Read16(s, at) | (Read16(s, at + 2) << 16); }

inline std::map<std::string, std::string> Fail(std::string* problem, const std::string& why) {
    if (problem) *problem = why;
    return {};
}

inline std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size())));
    return wide;
}

inline std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

} // namespace packagereader_detail
using namespace packagereader_detail;

// Entry name -> bytes. Fails (an empty map and a reason) on anything but well-formed
// stored entries whose CRC-32 matches.
inline std::map<std::string, std::string> ReadStoredZip(const std::string& archive, std::string* problem) {
    if (archive.size() < 22) return Fail(problem, "too short for an end record");
    size_t end = archive.size() - 22;
    while (Read32(archive, end) != 0x06054B50) {
        if (end == 0) return Fail(problem, "no end record");
        --end;
    }
    std::map<std::string, std::string> entries;
    size_t at = Read32(archive, end + 16);
    for (uint32_t i = 0, count = Read16(archive, end + 10); i < count; ++i) {
        if (at + 46 > archive.size() || Read32(archive, at) != 0x02014B50) return Fail(problem, "bad directory entry");
        uint32_t crc = Read32(archive, at + 16), size = Read32(archive, at + 20), nameLength = Read16(archive, at + 28);
        uint32_t local = Read32(archive, at + 42);
        std::string name = archive.substr(at + 46, nameLength);
        if (Read16(archive, at + 10) != 0 || size != Read32(archive, at + 24)) return Fail(problem, name + ": not stored");
        if (local + 30 > archive.size() || Read32(archive, local) != 0x04034B50) return Fail(problem, name + ": bad local header");
        if (archive.substr(local + 30, Read16(archive, local + 26)) != name) return Fail(problem, name + ": names differ");
        size_t data = local + 30 + Read16(archive, local + 26) + Read16(archive, local + 28);
        if (data + size > archive.size()) return Fail(problem, name + ": cut short");
        entries[name] = archive.substr(data, size);
        if (Crc32(entries[name]) != crc || Read32(archive, local + 14) != crc) return Fail(problem, name + ": CRC mismatch");
        at += 46 + nameLength + Read16(archive, at + 30) + Read16(archive, at + 32);
    }
    return entries;
}

inline SheetContent ReadSheetXml(const std::string& xml) {
    SheetContent sheet;
    DomReadResult dom = ReadXmlText(Wide(xml));
    EXPECT_TRUE(dom.wellFormed) << Ascii(dom.reason);
    const std::vector<DomElementInfo>& elements = dom.elements;
    for (size_t i = 0; i < elements.size(); ++i) {
        const DomElementInfo& element = elements[i];
        auto attribute = [&](const wchar_t* name) { return DomReadResult::Attribute(element, name); };
        if (element.name == L"dimension") sheet.dimension = Ascii(attribute(L"ref"));
        for (int c = _wtoi(attribute(L"min").c_str()); element.name == L"col" && c <= _wtoi(attribute(L"max").c_str()); ++c)
            sheet.widths[c] = _wtof(attribute(L"width").c_str());
        if (element.name != L"c") continue;
        SheetCell& cell = sheet.cells[attribute(L"r")];
        cell.type = Ascii(attribute(L"t"));
        cell.style = _wtoi(attribute(L"s").c_str());
        // The value is the <v> or the inline string's <t> below the cell.
        for (size_t j = i + 1; j < elements.size() && elements[j].depth > element.depth; ++j) {
            if (elements[j].name != L"v" && elements[j].name != L"t") continue;
            cell.hasValue = true;
            cell.text = elements[j].text;
        }
    }
    return sheet;
}

// The whole of a file.
inline std::string FileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

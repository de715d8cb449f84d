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

// Entry name -> bytes. Fails (an empty map and a reason) on anything but well-formed
// stored entries whose CRC-32 matches.
inline std::map<std::string, std::string> ReadStoredZip(const std::string& archive, std::string* problem) {
    auto read16 = [&](size_t at) -> uint32_t {
        return static_cast<unsigned char>(archive[at]) | (static_cast<unsigned char>(archive[at + 1]) << 8);
    };
    auto read32 = [&](size_t at) { return read16(at) | (read16(at + 2) << 16); };
    auto fail = [&](const std::string& why) {
        *problem = why;
        return std::map<std::string, std::string>();
    };
    if (archive.size() < 22) return fail("too short for an end record");
    size_t end = archive.size() - 22;
    while (read32(end) != 0x06054B50) {
        if (end == 0) return fail("no end record");
        --end;
    }
    std::map<std::string, std::string> entries;
    size_t at = read32(end + 16);
    for (uint32_t i = 0, count = read16(end + 10); i < count; ++i) {
        if (at + 46 > archive.size() || read32(at) != 0x02014B50) return fail("bad directory entry");
        uint32_t crc = read32(at + 16), size = read32(at + 20), nameLength = read16(at + 28), local = read32(at + 42);
        std::string name = archive.substr(at + 46, nameLength);
        if (read16(at + 10) != 0 || size != read32(at + 24)) return fail(name + ": not stored");
        if (local + 30 > archive.size() || read32(local) != 0x04034B50) return fail(name + ": bad local header");
        if (archive.substr(local + 30, read16(local + 26)) != name) return fail(name + ": names differ");
        size_t data = local + 30 + read16(local + 26) + read16(local + 28);
        if (data + size > archive.size()) return fail(name + ": cut short");
        entries[name] = archive.substr(data, size);
        if (Crc32(entries[name]) != crc || read32(local + 14) != crc) return fail(name + ": CRC mismatch");
        at += 46 + nameLength + read16(at + 30) + read16(at + 32);
    }
    return entries;
}

inline SheetContent ReadSheetXml(const std::string& xml) {
    std::wstring text(xml.size(), L'\0');
    text.resize(MultiByteToWideChar(CP_UTF8, 0, xml.data(), static_cast<int>(xml.size()), text.data(), static_cast<int>(text.size())));
    auto ascii = [](const std::wstring& wide) { return std::string(wide.begin(), wide.end()); };
    DomReadResult dom = ReadXmlText(text);
    EXPECT_TRUE(dom.wellFormed) << ascii(dom.reason);
    SheetContent sheet;
    const std::vector<DomElementInfo>& elements = dom.elements;
    for (size_t i = 0; i < elements.size(); ++i) {
        const DomElementInfo& element = elements[i];
        auto attribute = [&](const wchar_t* name) { return DomReadResult::Attribute(element, name); };
        if (element.name == L"dimension") sheet.dimension = ascii(attribute(L"ref"));
        for (int c = _wtoi(attribute(L"min").c_str()); element.name == L"col" && c <= _wtoi(attribute(L"max").c_str()); ++c)
            sheet.widths[c] = _wtof(attribute(L"width").c_str());
        if (element.name != L"c") continue;
        SheetCell& cell = sheet.cells[attribute(L"r")];
        cell.type = ascii(attribute(L"t"));
        cell.style = _wtoi(attribute(L"s").c_str());
        // The value is the <v> or the inline string's <t> below the cell.
        for (size_t j = i + 1; j < elements.size() && elements[j].depth > element.depth; ++j)
            if (elements[j].name == L"v" || elements[j].name == L"t") cell.text = elements[j].text;
    }
    return sheet;
}

// The whole of a file.
inline std::string FileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

#pragma once
// Reading back what the spreadsheet application wrote, independently of its writer.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
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
};

// Entry name -> bytes, found through the central directory as a reader of the package
// finds them. Fails (an empty map and a reason) on an entry that is not stored whole or
// whose CRC-32 does not match.
inline std::map<std::string, std::string> ReadStoredZip(const std::string& archive, std::string* problem) {
    auto read16 = [&](size_t at) -> uint32_t {
        if (at + 2 > archive.size()) return 0;
        return static_cast<unsigned char>(archive[at]) | (static_cast<unsigned char>(archive[at + 1]) << 8);
    };
    auto read32 = [&](size_t at) { return read16(at) | (read16(at + 2) << 16); };
    size_t end = archive.rfind("PK\x05\x06");
    std::map<std::string, std::string> entries;
    size_t at = end == std::string::npos ? archive.size() : read32(end + 16);
    for (uint32_t i = 0, count = end == std::string::npos ? 1 : read16(end + 10); i < count; ++i) {
        uint32_t crc = read32(at + 16), size = read32(at + 20), nameLength = read16(at + 28), local = read32(at + 42);
        std::string name = archive.substr(std::min(at + 46, archive.size()), nameLength);
        size_t data = local + 30 + read16(local + 26) + read16(local + 28);
        bool whole = read32(at) == 0x02014B50 && read16(at + 10) == 0 && read32(local) == 0x04034B50;
        if (!whole || data + size > archive.size() || Crc32(archive.substr(data, size)) != crc) {
            *problem = "entry " + std::to_string(i + 1) + " '" + name + "' cannot be read";
            return {};
        }
        entries[name] = archive.substr(data, size);
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

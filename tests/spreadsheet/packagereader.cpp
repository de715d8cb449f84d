#include "packagereader.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include "storedzip.h"
#include "support/xml_dom.h"

namespace {

uint32_t Read16(const std::string& s, size_t at) {
    return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}
uint32_t Read32(const std::string& s, size_t at) { return Read16(s, at) | (Read16(s, at + 2) << 16); }

std::map<std::string, std::string> Fail(std::string* problem, const std::string& why) {
    if (problem) *problem = why;
    return {};
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size())));
    return wide;
}

std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

} // namespace

std::map<std::string, std::string> ReadStoredZip(const std::string& archive, std::string* problem) {
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

SheetContent ReadSheetXml(const std::string& xml) {
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

std::string FileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

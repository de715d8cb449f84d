#include "packagereader.h"

#include <windows.h>
#include <cstdint>
#include <cstdlib>
#include "storedzip.h"
#include "winkit/unique_handle.h"

namespace {

uint32_t Read16(const std::string& s, size_t at) {
    return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}
uint32_t Read32(const std::string& s, size_t at) { return Read16(s, at) | (Read16(s, at + 2) << 16); }

std::map<std::string, std::string> Fail(std::string* problem, const std::string& why) {
    if (problem) *problem = why;
    return {};
}

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

void AppendUtf8(std::string& out, unsigned long c) {
    wchar_t units[2];
    int count = 1;
    if (c >= 0x10000) {
        units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(c);
    }
    char bytes[8];
    int n = WideCharToMultiByte(CP_UTF8, 0, units, count, bytes, 8, nullptr, nullptr);
    out.append(bytes, n);
}

std::wstring Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        size_t end = text.find(';', i);
        std::string entity = text.substr(i + 1, end - i - 1);
        if (entity == "amp") out += '&';
        else if (entity == "lt") out += '<';
        else if (entity == "gt") out += '>';
        else if (entity == "quot") out += '"';
        else if (entity == "apos") out += '\'';
        else if (entity.size() > 1 && entity[0] == '#')
            AppendUtf8(out, entity[1] == 'x' ? std::strtoul(entity.c_str() + 2, nullptr, 16) : std::strtoul(entity.c_str() + 1, nullptr, 10));
        i = end;
    }
    return Utf8ToWide(out);
}

std::string Attribute(const std::string& tag, const std::string& name) {
    std::string key = " " + name + "=\"";
    size_t at = tag.find(key);
    if (at == std::string::npos) return {};
    at += key.size();
    return tag.substr(at, tag.find('"', at) - at);
}

// The content of the first <name ...>...</name> within text, or nothing for <name/>.
std::string ElementText(const std::string& text, const std::string& name) {
    size_t open = text.find("<" + name);
    if (open == std::string::npos) return {};
    size_t close = text.find('>', open);
    if (text[close - 1] == '/') return {};
    size_t end = text.find("</" + name + ">", close);
    return text.substr(close + 1, end - close - 1);
}

} // namespace

std::map<std::string, std::string> ReadStoredZip(const std::string& archive, std::string* problem) {
    if (archive.size() < 22) return Fail(problem, "too short for an end record");
    size_t end = archive.size() - 22;
    while (Read32(archive, end) != 0x06054B50) {
        if (end == 0) return Fail(problem, "no end record");
        --end;
    }
    uint32_t count = Read16(archive, end + 10);
    size_t at = Read32(archive, end + 16);
    std::map<std::string, std::string> entries;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + 46 > archive.size() || Read32(archive, at) != 0x02014B50) return Fail(problem, "bad directory entry");
        uint32_t method = Read16(archive, at + 10), crc = Read32(archive, at + 16);
        uint32_t size = Read32(archive, at + 20), stored = Read32(archive, at + 24);
        uint32_t nameLength = Read16(archive, at + 28), extra = Read16(archive, at + 30), comment = Read16(archive, at + 32);
        uint32_t local = Read32(archive, at + 42);
        std::string name = archive.substr(at + 46, nameLength);
        if (method != 0 || size != stored) return Fail(problem, name + ": not stored");
        if (local + 30 > archive.size() || Read32(archive, local) != 0x04034B50) return Fail(problem, name + ": bad local header");
        if (archive.substr(local + 30, Read16(archive, local + 26)) != name) return Fail(problem, name + ": names differ");
        size_t data = local + 30 + Read16(archive, local + 26) + Read16(archive, local + 28);
        if (data + size > archive.size()) return Fail(problem, name + ": cut short");
        std::string bytes = archive.substr(data, size);
        if (Crc32(bytes) != crc || Read32(archive, local + 14) != crc) return Fail(problem, name + ": CRC mismatch");
        entries[name] = bytes;
        at += 46 + nameLength + extra + comment;
    }
    return entries;
}

SheetContent ReadSheetXml(const std::string& xml) {
    SheetContent sheet;
    std::string dimension = xml.substr(xml.find("<dimension") == std::string::npos ? xml.size() : xml.find("<dimension"));
    sheet.dimension = Attribute(dimension.substr(0, dimension.find('>')), "ref");
    for (size_t at = xml.find("<col "); at != std::string::npos; at = xml.find("<col ", at + 1)) {
        std::string tag = xml.substr(at, xml.find('>', at) - at);
        int first = std::atoi(Attribute(tag, "min").c_str()), last = std::atoi(Attribute(tag, "max").c_str());
        for (int c = first; c <= last; ++c) sheet.widths[c] = std::atof(Attribute(tag, "width").c_str());
    }
    for (size_t at = xml.find("<c "); at != std::string::npos; at = xml.find("<c ", at + 1)) {
        size_t close = xml.find('>', at);
        std::string tag = xml.substr(at, close - at);
        SheetCell cell;
        cell.type = Attribute(tag, "t");
        cell.style = std::atoi(Attribute(tag, "s").c_str());
        if (xml[close - 1] != '/') {
            std::string content = xml.substr(close + 1, xml.find("</c>", close) - close - 1);
            cell.hasValue = true;
            cell.text = Unescaped(cell.type == "inlineStr" ? ElementText(content, "t") : ElementText(content, "v"));
        }
        sheet.cells[Utf8ToWide(Attribute(tag, "r"))] = cell;
    }
    return sheet;
}

std::string FileBytes(const std::wstring& path) {
    winkit::UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        (void)file.release();
        return {};
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

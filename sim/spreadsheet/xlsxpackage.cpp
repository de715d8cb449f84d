#include "xlsxpackage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>

namespace {

constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelationshipsNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kPackageRelationshipsNamespace = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kWorksheetType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr const char* kStylesType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr const char* kOfficeDocumentType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
constexpr int kBoldFormat = 1;  // index into cellXfs

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsXmlChar(uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// "_x0041_" is how the package writes a character; a text holding such a sequence
// literally keeps it by escaping its underscore.
bool LooksLikeEscape(std::wstring_view text, size_t i) {
    if (i + 7 > text.size() || text[i] != L'_' || text[i + 1] != L'x' || text[i + 6] != L'_') return false;
    for (size_t k = i + 2; k < i + 6; ++k)
        if (!std::iswxdigit(text[k]) || text[k] > 127) return false;
    return true;
}

std::string Escape(uint32_t c) {
    char code[12];
    std::snprintf(code, sizeof code, "_x%04X_", static_cast<unsigned>(c));
    return code;
}

bool NeedsPreserve(std::wstring_view text) {
    if (text.empty()) return false;
    auto space = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; };
    if (space(text.front()) || space(text.back())) return true;
    return text.find_first_of(L"\t\n\r") != std::wstring_view::npos || text.find(L"  ") != std::wstring_view::npos;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string Attribute(std::string_view name, const std::string& value) {
    return " " + std::string(name) + "=\"" + value + "\"";
}

std::string CellXml(const CellPosition& position, const Cell& cell) {
    std::string xml = "<c" + Attribute("r", XmlText(CellName(position)));
    if (cell.bold) xml += Attribute("s", std::to_string(kBoldFormat));
    if (!cell.value) return xml + "/>";
    if (const std::wstring* text = std::get_if<std::wstring>(&*cell.value)) {
        xml += Attribute("t", "inlineStr") + "><is><t";
        if (NeedsPreserve(*text)) xml += " xml:space=\"preserve\"";
        return xml + ">" + XmlText(*text) + "</t></is></c>";
    }
    if (const bool* truth = std::get_if<bool>(&*cell.value))
        return xml + Attribute("t", "b") + "><v>" + (*truth ? "1" : "0") + "</v></c>";
    double number = std::get<double>(*cell.value);
    if (!std::isfinite(number)) return xml + Attribute("t", "e") + "><v>#NUM!</v></c>";
    return xml + "><v>" + Number(number) + "</v></c>";
}

std::string SheetXml(const Worksheet& sheet) {
    std::string xml = kXmlDeclaration;
    xml += "<worksheet xmlns=\"" + std::string(kMainNamespace) + "\">";
    if (!sheet.cells().empty()) {
        int lastRow = 1, lastColumn = 1, firstRow = sheet.cells().begin()->first.row, firstColumn = kMaxColumns;
        for (const auto& [position, cell] : sheet.cells()) {
            lastRow = std::max(lastRow, position.row);
            lastColumn = std::max(lastColumn, position.column);
            firstColumn = std::min(firstColumn, position.column);
        }
        CellArea used{{firstRow, firstColumn}, lastRow - firstRow + 1, lastColumn - firstColumn + 1};
        xml += "<dimension" + Attribute("ref", XmlText(AreaName(used))) + "/>";
    }
    if (!sheet.columnWidths().empty()) {
        xml += "<cols>";
        for (const auto& [column, width] : sheet.columnWidths())
            xml += "<col" + Attribute("min", std::to_string(column)) + Attribute("max", std::to_string(column)) +
                   Attribute("width", Number(width)) + Attribute("customWidth", "1") + "/>";
        xml += "</cols>";
    }
    xml += "<sheetData>";
    int openRow = 0;
    for (const auto& [position, cell] : sheet.cells()) {
        if (position.row != openRow) {
            if (openRow) xml += "</row>";
            openRow = position.row;
            xml += "<row" + Attribute("r", std::to_string(openRow)) + ">";
        }
        xml += CellXml(position, cell);
    }
    if (openRow) xml += "</row>";
    xml += "</sheetData></worksheet>";
    return xml;
}

std::string ContentTypesXml(size_t sheetCount) {
    std::string xml = kXmlDeclaration;
    xml += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/xl/workbook.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
           "<Override PartName=\"/xl/styles.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";
    for (size_t i = 1; i <= sheetCount; ++i)
        xml += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(i) +
               ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    return xml + "</Types>";
}

std::string PackageRelationshipsXml() {
    return std::string(kXmlDeclaration) + "<Relationships xmlns=\"" + kPackageRelationshipsNamespace + "\">" +
           "<Relationship Id=\"rId1\" Type=\"" + kOfficeDocumentType + "\" Target=\"xl/workbook.xml\"/>" +
           "</Relationships>";
}

std::string WorkbookXml(const Workbook& book) {
    std::string xml = kXmlDeclaration;
    xml += "<workbook xmlns=\"" + std::string(kMainNamespace) + "\" xmlns:r=\"" + kRelationshipsNamespace + "\"><sheets>";
    for (size_t i = 1; i <= book.sheets.size(); ++i)
        xml += "<sheet" + Attribute("name", XmlText(book.sheets[i - 1].name())) + Attribute("sheetId", std::to_string(i)) +
               Attribute("r:id", "rId" + std::to_string(i)) + "/>";
    return xml + "</sheets></workbook>";
}

std::string WorkbookRelationshipsXml(size_t sheetCount) {
    std::string xml = kXmlDeclaration;
    xml += "<Relationships xmlns=\"" + std::string(kPackageRelationshipsNamespace) + "\">";
    for (size_t i = 1; i <= sheetCount; ++i)
        xml += "<Relationship" + Attribute("Id", "rId" + std::to_string(i)) + Attribute("Type", kWorksheetType) +
               Attribute("Target", "worksheets/sheet" + std::to_string(i) + ".xml") + "/>";
    xml += "<Relationship" + Attribute("Id", "rId" + std::to_string(sheetCount + 1)) + Attribute("Type", kStylesType) +
           Attribute("Target", "styles.xml") + "/>";
    return xml + "</Relationships>";
}

// Format 0 is the normal font, format 1 the same font in bold.
std::string StylesXml() {
    return std::string(kXmlDeclaration) + "<styleSheet xmlns=\"" + kMainNamespace + "\">" +
           "<fonts count=\"2\">"
           "<font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
           "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
           "</fonts>"
           "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
           "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
           "<cellXfs count=\"2\">"
           "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
           "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
           "</cellXfs>"
           "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
           "</styleSheet>";
}

} // namespace

std::string XmlText(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        switch (c) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '"': out += "&quot;"; continue;
        case '\r': out += "&#13;"; continue;
        default: break;
        }
        if (!IsXmlChar(c)) out += Escape(c);
        else if (LooksLikeEscape(text, i)) out += Escape('_');
        else AppendUtf8(out, c);
    }
    return out;
}

std::vector<ZipEntry> XlsxParts(const Workbook& book) {
    std::vector<ZipEntry> parts = {
        {"[Content_Types].xml", ContentTypesXml(book.sheets.size())},
        {"_rels/.rels", PackageRelationshipsXml()},
        {"xl/workbook.xml", WorkbookXml(book)},
        {"xl/_rels/workbook.xml.rels", WorkbookRelationshipsXml(book.sheets.size())},
        {"xl/styles.xml", StylesXml()},
    };
    for (size_t i = 0; i < book.sheets.size(); ++i)
        parts.push_back({"xl/worksheets/sheet" + std::to_string(i + 1) + ".xml", SheetXml(book.sheets[i])});
    return parts;
}

std::string XlsxPackage(const Workbook& book, uint16_t dosTime, uint16_t dosDate) {
    return StoredZip(XlsxParts(book), dosTime, dosDate);
}

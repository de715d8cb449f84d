#include "assignmentsdocument.h"

#include <algorithm>
#include <string_view>

#include "diagnostics/traced.h"
#include "objschema.h"
#include "qrxmlutils.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace {

// The writer's results are not examined: it records its own failures, and a document
// cut short is still taken as written.
void WriteString(iqrXMLWriter& writer, const wchar_t* name, const std::wstring& value) {
    writer.WriteAttributeString(name, value.c_str());
}

void WriteProperty(iqrXMLWriter& writer, const AttRecord& property) {
    writer.StartElement(L"A");
    WriteString(writer, L"I", property.I);
    WriteString(writer, L"V", property.V);
    WriteString(writer, L"O", property.O);
    WriteString(writer, L"U", property.U);
    writer.WriteAttributeLong(L"S", property.S);
    writer.WriteAttributeLong(L"C", property.C);
    for (const ElemRecord& entry : property.elements) {
        writer.StartElement(L"E");
        writer.WriteAttributeLong(L"I", entry.I);
        WriteString(writer, L"V", entry.V);
        writer.EndElement(L"E");
    }
    writer.EndElement(L"A");
}

void WriteObject(iqrXMLWriter& writer, const ObjRecord& object, long x) {
    writer.StartElement(L"O");
    writer.WriteAttributeLong(L"X", x);
    WriteString(writer, L"U", object.U);
    WriteString(writer, L"I", object.I);
    WriteString(writer, L"N", object.N);
    WriteString(writer, L"C", object.C);
    for (const AttRecord& property : object.attributes) WriteProperty(writer, property);
    for (const ObjRecord& sub : object.objects) WriteObject(writer, sub, sub.X);
    writer.EndElement(L"O");
}

} // namespace

std::vector<ObjRecord> ReadAssignments(const std::wstring& document) {
    std::vector<ObjRecord> records;
    if (document.find_first_not_of(L" \t\r\n") == std::wstring::npos) return records;
    winkit::UniqueBstr text = winkit::UniqueBstr::Copy(document);
    // The top object's record is added only when its element ends, so a document that
    // fails to parse leaves no top object; partial records of a failed parse are dropped.
    if (FAILED(ParseObjects(records, text.get()))) records.clear();
    return records;
}

HRESULT WriteAssignments(const ObjRecord& top, long taskIndex, std::wstring& document) {
    return TracedOperation(L"AssignmentsDocument::Write", 0, [&](QRComException& xhr) {
        winkit::ComPtr<iqrXMLStringWriter> writer;
        HRESULT hr = CreateXMLStringWriter(writer.put());
        if (FAILED(hr)) xhr.Throw(QR_HERE, hr, L"Unable to create the XML writer");
        WriteObject(*writer.get(), top, taskIndex);
        winkit::UniqueBstr text;
        hr = writer->GetString(text.put());
        if (FAILED(hr)) xhr.Throw(QR_HERE, hr, L"Unable to take the assignments document");
        // The formatted writer puts a line feed before the top element; it means nothing
        // there and would trip readers that guess a string's encoding from its start.
        std::wstring_view written = text.view();
        written.remove_prefix(std::min(written.find_first_not_of(L"\r\n"), written.size()));
        document.assign(written);
    });
}

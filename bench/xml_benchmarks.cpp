// XML reading and writing against bare baselines:
// - sax-load: TaskItemCollection::Load of a 10,000-task TaskItemList (one task per line,
//   all twenty attributes, privileges), reloaded into one collection as the task list
//   dialog does, against Wine's MSXML SAX reader parsing the same text with a content
//   handler that does nothing;
// - xml-writer: ten million characters of elements, attributes and escaped text through
//   QRXMLStringWriter against appending the same output to a std::wstring; both sides
//   hand the text out as one BSTR at the end, as a COM method returning a document must
//   (that copy into fresh memory is a fifth of the baseline's time on some machines).
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "benchmark.h"
#include "qrxmlutils.h"
#include "saxidentifiers.h"
#include "taskitemcollection.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace {

std::wstring GenerateTaskItemList(int count) {
    std::wstring document = L"<?xml version=\"1.0\"?>\n<TaskItemList>\n<Privilege Delete=\"1\" Run=\"1\" Defer=\"0\"/>\n";
    for (int i = 1; i <= count; ++i) {
        std::wstring n = std::to_wstring(i);
        document += L"<TaskItem ToDo_Index=\"" + n + L"\" ToDo_Name=\"Update pipe line P-" + n +
                    L"\" ToDo_Description=\"Propagate the changed nominal diameter to &quot;P-" + n +
                    L"&quot; and its connected items\" ToDo_Notes=\"Checked by the design review &amp; approved\""
                    L" ToDo_Class=\"PipeRun\" ToDo_Category=\"" + std::to_wstring(i % 7) +
                    L"\" ToDo_Status=\"" + std::to_wstring(i % 5) + L"\" ToDo_DeletedFlag=\"" + std::to_wstring(i % 2) +
                    L"\" ToDo_ItemName=\"P-" + n +
                    L"\" ToDo_CreatedDate=\"2026-12-05 12:00:00\" ToDo_CreatedBy=\"DOMAIN\\engineer1\""
                    L" ToDo_ModifiedDate=\"2026-12-06 08:30:00\" ToDo_ModifiedBy=\"DOMAIN\\engineer2\""
                    L" ToDo_RunDate=\"2026-12-06 09:00:00\" ToDo_RunBy=\"DOMAIN\\engineer3\""
                    L" ToDo_DeletedDate=\"\" ToDo_DeletedBy=\"\" ToDo_EngineeringTool=\"PipingDesigner\""
                    L" ToDo_SrcDocName=\"Unit-100 piping.pid\" ToDo_SrcDocType=\"P&amp;ID\"/>\n";
    }
    document += L"</TaskItemList>\n";
    return document;
}

// ---- writer ---------------------------------------------------------------------------

constexpr size_t kWriterCharacters = 10u * 1000 * 1000;
const wchar_t kName[] = L"Valve V-12 \"main\" <inlet>";
const wchar_t kText[] = L"Opened & closed twice; pressure held at 'nominal' for 5 minutes.";

void AppendEscaped(std::wstring& out, const wchar_t* text) {
    ForEachEscapedRun(text, std::char_traits<wchar_t>::length(text),
                      [&](const wchar_t* run, size_t n) { out.append(run, n); });
}

void Require(HRESULT hr) { ::Require(SUCCEEDED(hr), "writer call succeeded"); }

winkit::UniqueBstr WriteWithWriter() {
    winkit::ComPtr<iqrXMLStringWriter> writer;
    Require(CreateXMLStringWriter(writer.put()));
    Require(writer->StartElement(L"Log"));
    for (long i = 0; writer->GetLength() < kWriterCharacters; ++i) {
        Require(writer->StartElement(L"Entry"));
        Require(writer->WriteAttributeLong(L"id", i));
        Require(writer->WriteAttributeString(L"name", kName));
        Require(writer->WriteAttributeBool(L"done", (i & 1) != 0));
        Require(writer->StartElement(L"Text"));
        Require(writer->WriteText(kText));
        Require(writer->EndElement(L"Text"));
        Require(writer->WriteElementDouble(L"Value", i * 0.25));
        Require(writer->EndElement(L"Entry"));
    }
    Require(writer->EndElement(L"Log"));
    winkit::UniqueBstr text;
    Require(writer->GetString(text.put()));
    return text;
}

winkit::UniqueBstr WriteWithString() {
    std::wstring out;
    out += L"\n<Log>";
    for (long i = 0; out.size() < kWriterCharacters; ++i) {
        wchar_t number[kXmlNumberBufferSize];
        out += L"\n  <Entry";
        out += L" id=\"";
        out.append(number, FormatXmlLong(i, number));
        out += L"\"";
        out += L" name=\"";
        AppendEscaped(out, kName);
        out += L"\"";
        out += (i & 1) ? L" done=\"1\"" : L" done=\"0\"";
        out += L">\n    <Text>";
        AppendEscaped(out, kText);
        out += L"</Text>\n    <Value>";
        out.append(number, FormatXmlDouble(i * 0.25, number));
        out += L"</Value>\n  </Entry>";
    }
    out += L"\n</Log>";
    return winkit::UniqueBstr::Copy(out);
}

} // namespace

QRC_BENCHMARK("sax-load", 1.15) {
    winkit::UniqueBstr document = winkit::UniqueBstr::Copy(GenerateTaskItemList(10000));
    TaskItemCollection tasks;
    Require(SUCCEEDED(tasks.Load(document.get())) && tasks.Count() == 10000, "10,000 tasks loaded");
    // As in the task list dialog, one collection is loaded again and again: each Load
    // also releases the tasks of the previous one. The wall clock, one load a sample, the
    // fastest of 31: thread CPU time ticks by 10 ms here, which moved the ratio by 2% a tick.
    return Compare(
        31, [&] { return Timed(WallSeconds, 1, [&] { return tasks.Load(document.get()); }); },
        [&] { return Timed(WallSeconds, 1, [&] { return ParseBare(document.get()), 0; }); });
}

QRC_BENCHMARK("xml-writer", 1.2) {
    Require(WriteWithWriter().view() == WriteWithString().view(), "writer and baseline write the same text");
    return Compare(9, [] { return Timed(ThreadSeconds, 10, WriteWithWriter); },
                   [] { return Timed(ThreadSeconds, 10, WriteWithString); });
}

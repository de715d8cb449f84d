// XML reading and writing against bare baselines:
// - sax-load: TaskItemCollection::Load of a 10,000-task TaskItemList (one task per line,
//   all twenty attributes, privileges), reloaded into one collection as the task list
//   dialog does, against Wine's MSXML SAX reader parsing the same text with a content
//   handler that does nothing;
// - xml-writer: ten million characters of elements, attributes and escaped text through
//   QRXMLStringWriter (taken out as one string at the end) against appending the same
//   output to a std::wstring.
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

// The bare reader's side of the comparison: every callback returns at once.
class NullContentHandler : public ISAXContentHandler {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_ISAXContentHandler ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP putDocumentLocator(ISAXLocator*) override { return S_OK; }
    STDMETHODIMP startDocument() override { return S_OK; }
    STDMETHODIMP endDocument() override { return S_OK; }
    STDMETHODIMP startPrefixMapping(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP endPrefixMapping(const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP startElement(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int,
                              ISAXAttributes*) override {
        return S_OK;
    }
    STDMETHODIMP endElement(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP characters(const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP ignorableWhitespace(const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP processingInstruction(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    STDMETHODIMP skippedEntity(const wchar_t*, int) override { return S_OK; }
};

// CPU seconds of the calling thread: everything measured here (the SAX reader included)
// runs on it. On a machine shared with other work the wall clock mostly measures the
// wait for a core; the thread's time does not. Its ticks are coarse (10 ms under Wine),
// so each sample runs the work several times.
double ThreadSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// The fastest of `rounds` samples of each side, the two sides alternating so that they
// meet the same conditions.
template <class A, class B>
double Ratio(int rounds, int runsPerSample, A&& measured, B&& baseline, double* measuredSeconds,
             double* baselineSeconds) {
    double best[2] = {1e300, 1e300};
    for (int round = 0; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            double spent = 0;
            for (int run = 0; run < runsPerSample; ++run) spent += side == 0 ? measured() : baseline();
            best[side] = std::min(best[side], spent / runsPerSample);
        }
    }
    *measuredSeconds = best[0];
    *baselineSeconds = best[1];
    return best[0] / best[1];
}

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "benchmark check failed: %s\n", what);
    std::exit(1);
}

void ParseBare(BSTR document) {
    static NullContentHandler handler;
    winkit::ComPtr<ISAXXMLReader> reader;
    Require(SUCCEEDED(CoCreateInstance(CLSID_SAXXMLReader60, nullptr, CLSCTX_ALL, IID_ISAXXMLReader,
                                       reader.put_void())),
            "SAX reader created");
    reader->putContentHandler(&handler);
    VARIANT input;
    V_VT(&input) = VT_BSTR;
    V_BSTR(&input) = document;
    Require(SUCCEEDED(reader->parse(input)), "bare parse succeeded");
    reader->putContentHandler(nullptr);
}

// ---- writer ---------------------------------------------------------------------------

constexpr size_t kWriterCharacters = 10u * 1000 * 1000;
const wchar_t kName[] = L"Valve V-12 \"main\" <inlet>";
const wchar_t kText[] = L"Opened & closed twice; pressure held at 'nominal' for 5 minutes.";

void AppendEscaped(std::wstring& out, const wchar_t* text) {
    ForEachEscapedRun(text, std::char_traits<wchar_t>::length(text),
                      [&](const wchar_t* run, size_t n) { out.append(run, n); });
}

void Require(HRESULT hr) { Require(SUCCEEDED(hr), "writer call succeeded"); }

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

std::wstring WriteWithString() {
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
    return out;
}

} // namespace

QRC_BENCHMARK("sax-load", 1.3) {
    winkit::UniqueBstr document = winkit::UniqueBstr::Copy(GenerateTaskItemList(10000));
    TaskItemCollection tasks;
    Require(SUCCEEDED(tasks.Load(document.get())) && tasks.Count() == 10000, "10,000 tasks loaded");
    // As in the task list dialog, one collection is loaded again and again: each Load
    // also releases the tasks of the previous one.
    auto load = [&] {
        double start = ThreadSeconds();
        Require(SUCCEEDED(tasks.Load(document.get())), "load succeeded");
        return ThreadSeconds() - start;
    };
    auto bare = [&] {
        double start = ThreadSeconds();
        ParseBare(document.get());
        return ThreadSeconds() - start;
    };
    // The first load into an empty collection also pays for fresh memory; shown beside.
    auto firstLoad = [&] {
        TaskItemCollection empty;
        double start = ThreadSeconds();
        Require(SUCCEEDED(empty.Load(document.get())), "load succeeded");
        return ThreadSeconds() - start;
    };
    double loadSeconds = 0, bareSeconds = 0, firstSeconds = 0, bareAgain = 0;
    double ratio = Ratio(5, 3, load, bare, &loadSeconds, &bareSeconds);
    double firstRatio = Ratio(3, 3, firstLoad, bare, &firstSeconds, &bareAgain);
    std::printf("  sax-load: %zu characters, bare reader %.3f s, TaskItemCollection::Load %.3f s "
                "(first load into an empty collection %.3f s, ratio %.3f; thread CPU time)\n",
                document.view().size(), bareSeconds, loadSeconds, firstSeconds, firstRatio);
    return ratio;
}

QRC_BENCHMARK("xml-writer", 1.5) {
    Require(WriteWithWriter().view() == WriteWithString(), "writer and baseline write the same text");
    auto timed = [](auto write) {
        return [write] {
            double start = ThreadSeconds();
            write();
            return ThreadSeconds() - start;
        };
    };
    double writerSeconds = 0, stringSeconds = 0;
    double ratio = Ratio(5, 4, timed(WriteWithWriter), timed(WriteWithString), &writerSeconds, &stringSeconds);
    std::printf("  xml-writer: %zu characters, std::wstring %.3f s, QRXMLStringWriter %.3f s (thread CPU time)\n",
                WriteWithString().size(), stringSeconds, writerSeconds);
    return ratio;
}

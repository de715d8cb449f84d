#include <objbase.h>
#include <commctrl.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include "benchmark.h"
#include "module.h"
#include "readerinput.h"
#include "saxidentifiers.h"
#include "winkit/com_ptr.h"

std::vector<Benchmark>& Benchmarks() {
    static std::vector<Benchmark> all;
    return all;
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ThreadSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "benchmark check failed: %s\n", what);
    std::exit(1);
}

namespace {

class NullContentHandler final : public ISAXContentHandler {
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

} // namespace

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
    ReaderInput stream(input);  // as the parsers hand it over
    Require(SUCCEEDED(reader->parse(input)), "bare parse succeeded");
    reader->putContentHandler(nullptr);
}

// With no arguments every benchmark runs; otherwise only those named.
int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    InitializeLibraryModule(GetModuleHandleW(nullptr));
    for (const Benchmark& b : Benchmarks()) {
        bool wanted = argc < 2 && !b.byNameOnly;
        for (int i = 1; i < argc; ++i) wanted |= b.name == argv[i];
        if (!wanted) continue;
        Comparison result = b.run();
        std::printf("BENCH %s ratio=%.3f target<=%g measured=%.4fs baseline=%.4fs%s%s\n", b.name.c_str(), result.Ratio(),
                    b.target, result.measured, result.baseline, result.note.empty() ? "" : " ", result.note.c_str());
        std::fflush(stdout);
    }
    winkit::ComModule::Get().Term();
    CoUninitialize();
    return 0;
}

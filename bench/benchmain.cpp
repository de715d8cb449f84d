#include <objbase.h>
#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include "benchmark.h"
#include "module.h"

std::vector<Benchmark>& Benchmarks() {
    static std::vector<Benchmark> all;
    return all;
}

double BestSeconds(int repeats, const std::function<void()>& fn) {
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        auto start = std::chrono::steady_clock::now();
        fn();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (s < best) best = s;
    }
    return best;
}

// With no arguments every benchmark runs; otherwise only those named.
int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    InitializeLibraryModule(GetModuleHandleW(nullptr));
    for (const Benchmark& b : Benchmarks()) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i) wanted |= b.name == argv[i];
        if (!wanted) continue;
        double ratio = b.ratio();
        std::printf("BENCH %s ratio=%.3f target<=%g\n", b.name.c_str(), ratio, b.target);
        std::fflush(stdout);
    }
    winkit::ComModule::Get().Term();
    CoUninitialize();
    return 0;
}

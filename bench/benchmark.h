#pragma once
// Benchmarks register themselves; each compares its measured work with a bare baseline
// measured in the same run, and the program prints the ratio with both times.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>
#include <windows.h>
#include <oleauto.h>

// The two figures of a benchmark: the fastest sample of each side, in seconds.
struct Comparison {
    double measured = 0;
    double baseline = 0;
    std::string note;  // printed after the figures
    double Ratio() const { return measured / baseline; }
};

struct Benchmark {
    std::string name;
    double target;
    std::function<Comparison()> run;
    bool byNameOnly = false;  // left out of a run without names
};

std::vector<Benchmark>& Benchmarks();

struct BenchmarkRegistration {
    BenchmarkRegistration(const char* name, double target, std::function<Comparison()> run, bool byNameOnly = false) {
        Benchmarks().push_back({name, target, std::move(run), byNameOnly});
    }
};

#define QRC_BENCHMARK_CONCAT2(a, b) a##b
#define QRC_BENCHMARK_CONCAT(a, b) QRC_BENCHMARK_CONCAT2(a, b)
// QRC_BENCHMARK("name", target) { ...; return Compare(...); }
#define QRC_BENCHMARK(NAME, TARGET)                                                        \
    static Comparison QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__)();                         \
    static BenchmarkRegistration QRC_BENCHMARK_CONCAT(bench_reg_, __LINE__)(               \
        NAME, TARGET, &QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__));                         \
    static Comparison QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__)()
// The same, run only when named.
#define QRC_BENCHMARK_BY_NAME(NAME, TARGET)                                                \
    static Comparison QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__)();                         \
    static BenchmarkRegistration QRC_BENCHMARK_CONCAT(bench_reg_, __LINE__)(               \
        NAME, TARGET, &QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__), true);                   \
    static Comparison QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__)()

// The wall clock, in seconds.
double WallSeconds();
// CPU seconds of the calling thread: for work that runs on it alone, steadier than the
// wall clock on a machine shared with other work, but its ticks are coarse (10 ms under
// Wine), so a sample of such work runs it several times.
double ThreadSeconds();

// Runs `work` `runs` times and returns the seconds one run took on `clock`; what `work`
// returns is destroyed after the clock stops.
template <class Work>
double Timed(double (*clock)(), int runs, Work&& work) {
    double spent = 0;
    for (int i = 0; i < runs; ++i) {
        double start = clock();
        [[maybe_unused]] auto kept = work();  // its destruction stays outside the sample
        spent += clock() - start;
    }
    return spent / runs;
}

// Measures the two sides in turns, `rounds` times each, so that a busy moment of the
// machine touches both; each side's figure is its fastest sample. Each side returns the
// seconds of one sample (Timed).
template <class Measured, class Baseline>
Comparison Compare(int rounds, Measured&& measured, Baseline&& baseline) {
    Comparison best{1e300, 1e300};
    for (int round = 0; round < rounds; ++round) {
        best.measured = std::min(best.measured, measured());
        best.baseline = std::min(best.baseline, baseline());
    }
    return best;
}

// Stops the program when a benchmark's work did not do what it must.
void Require(bool condition, const char* what);

// The bare reader: Wine's MSXML SAX reader parsing the text with a content handler that
// does nothing.
void ParseBare(BSTR document);

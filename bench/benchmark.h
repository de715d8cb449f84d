#pragma once
// Benchmarks register themselves; each returns the ratio of its measured time to a
// bare baseline measured in the same run.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct Benchmark {
    std::string name;
    double target;
    std::function<double()> ratio;
};

std::vector<Benchmark>& Benchmarks();

struct BenchmarkRegistration {
    BenchmarkRegistration(const char* name, double target, std::function<double()> ratio) {
        Benchmarks().push_back({name, target, std::move(ratio)});
    }
};

#define QRC_BENCHMARK_CONCAT2(a, b) a##b
#define QRC_BENCHMARK_CONCAT(a, b) QRC_BENCHMARK_CONCAT2(a, b)
// QRC_BENCHMARK("name", target) { ...; return ratio; }
#define QRC_BENCHMARK(NAME, TARGET)                                                        \
    static double QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__)();                             \
    static BenchmarkRegistration QRC_BENCHMARK_CONCAT(bench_reg_, __LINE__)(               \
        NAME, TARGET, &QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__));                         \
    static double QRC_BENCHMARK_CONCAT(bench_fn_, __LINE__)()

// Seconds taken by the fastest of `repeats` runs of fn: the machine is shared and
// noisy, the minimum is the steadiest figure.
double BestSeconds(int repeats, const std::function<void()>& fn);

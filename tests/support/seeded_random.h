#pragma once
// A small generator with a fully specified output (SplitMix64): a seed and a stream
// number give the same choices with every compiler and library, so a failing random
// run is replayed from its seed and index alone.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <windows.h>

class SeededRandom {
public:
    SeededRandom(uint64_t seed, uint64_t stream) : state_(seed ^ (stream * 0xD1B54A32D192ED03ull)) { Next(); }

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to n - 1 (0 when n is not positive).
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <class T, size_t N>
    const T& Pick(const T (&choices)[N]) { return choices[Below(static_cast<int>(N))]; }

private:
    uint64_t state_;
};

// A number from the environment (decimal), or the fallback when unset or unreadable.
inline uint64_t EnvironmentNumber(const wchar_t* name, uint64_t fallback) {
    wchar_t text[64] = {};
    DWORD n = GetEnvironmentVariableW(name, text, 64);
    if (n == 0 || n >= 64) return fallback;
    wchar_t* end = nullptr;
    unsigned long long value = wcstoull(text, &end, 10);
    return end && *end == L'\0' && end != text ? value : fallback;
}

// int2aformat on card-line sizes (a row of 8 integers into an 80-character text) against
// snprintf writing the same fields, in one run: editing integers with a format text should cost
// a small multiple of the C library's own integer formatting.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "core/stringhandling.hpp"

namespace {

using vorlen::i32;

constexpr i32 values[8] = {1, -22, 333, 4444, 0, 7, -100, 65};

void Int2aformat(benchmark::State& state, const char* aw) {
    char fmt[8];
    std::memset(fmt, ' ', sizeof fmt);
    std::memcpy(fmt, aw, std::strlen(aw));
    char j2s[80];
    const i32 jmax = 8, sout = 80, n = 1, m = 8;
    for (auto _ : state) {
        vorlen::stringhandling::stringhandling_int2aformat(j2s, values, fmt, &jmax, &sout, &n, &m);
        benchmark::DoNotOptimize(j2s);
        benchmark::ClobberMemory();
    }
}

// The same text from snprintf: "%5d," per item, left-adjusted and joined.
void Snprintf(benchmark::State& state) {
    char j2s[80], item[16];
    for (auto _ : state) {
        std::size_t used = 0;
        for (const i32 v : values) {
            const int k = std::snprintf(item, sizeof item, "%5d,", v);
            const char* p = item;
            while (*p == ' ') ++p;
            const std::size_t len = static_cast<std::size_t>(item + k - p);
            std::memcpy(j2s + used, p, len);
            used += len;
        }
        std::memset(j2s + used, ' ', sizeof j2s - used);
        benchmark::DoNotOptimize(j2s);
        benchmark::ClobberMemory();
    }
}

BENCHMARK_CAPTURE(Int2aformat, I5_comma, "(I5,',')");
BENCHMARK_CAPTURE(Int2aformat, SP_I4, "(SP,I4)");
BENCHMARK_CAPTURE(Int2aformat, Z8, "(Z8)");
BENCHMARK(Snprintf);

}  // namespace

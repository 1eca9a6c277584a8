// Scanner throughput: nextInt over lines of 10-character integers and
// nextDouble over lines of 12-character reals, 64 MiB each, one core; the
// counters report heap allocations per token (the target is 0).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "alloc_counter.h"
#include "casefile/scanner.h"

namespace {

constexpr size_t TextBytes = size_t{64} << 20;  // 64 MiB

// Lines of `perLine` fields as an EnSight ASCII file writes them.
std::string MakeText(const char* format, int perLine, bool reals) {
    std::string text;
    text.reserve(TextBytes + 256);
    char field[32];
    for (int64_t i = 0; text.size() < TextBytes; ++i) {
        const int length = reals ? std::snprintf(field, sizeof field, format, (i % 100000) * 0.37 - 1234.5)
                                 : std::snprintf(field, sizeof field, format, static_cast<int>((i * 7919) % 100000000));
        text.append(field, static_cast<size_t>(length));
        if (i % perLine == perLine - 1) text += '\n';
    }
    return text;
}

template <class Read>
void ScanLines(benchmark::State& state, const std::string& text, Read read) {
    zelvane::strutil::Scanner scanner;
    int64_t tokens = 0;
    // Warm-up: the scanner's own buffer reaches its size once.
    scanner.setText(std::string_view(text).substr(0, 200));
    const bench::AllocationSnapshot before;
    for (auto _ : state) {
        size_t begin = 0;
        while (begin < text.size()) {
            const char* end = static_cast<const char*>(std::memchr(text.data() + begin, '\n', text.size() - begin));
            const size_t length = end != nullptr ? static_cast<size_t>(end - text.data()) - begin : text.size() - begin;
            scanner.setText(std::string_view(text.data() + begin, length));
            while (scanner.hasToken()) {
                benchmark::DoNotOptimize(read(scanner));
                ++tokens;
            }
            begin += length + 1;
        }
    }
    const bench::AllocationSnapshot after;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["allocs_per_token"] =
        tokens > 0 ? static_cast<double>(after.count - before.count) / static_cast<double>(tokens) : 0.0;
}

void NextInt(benchmark::State& state) {
    static const std::string text = MakeText("%10d", 8, false);
    ScanLines(state, text, [](zelvane::strutil::Scanner& s) { return s.nextInt(); });
}

void NextDouble(benchmark::State& state) {
    static const std::string text = MakeText("%12.5e", 6, true);
    ScanLines(state, text, [](zelvane::strutil::Scanner& s) { return s.nextDouble(); });
}

void IsDoubleThenNext(benchmark::State& state) {
    static const std::string text = MakeText("%12.5e", 6, true);
    ScanLines(state, text, [](zelvane::strutil::Scanner& s) { return s.isDoubleToken() ? s.nextDouble() : 0.0; });
}

}  // namespace

BENCHMARK(NextInt)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(NextDouble)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(IsDoubleThenNext)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_MAIN();

// Case file parsing: a time set of 10^5 and 10^6 steps inline and in a side
// file (MB/s of text; 10^6 should take at most 12x the time of 10^5), 10^4 and
// 10^5 variable lines, and a case declaring 2147483647 steps with three
// values, which must fail in < 10 ms allocating < 1 MiB. Every record and
// string is a host allocation: the test host's ledger is part of the cost.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "alloc_counter.h"
#include "casefile/case_parser.h"
#include "host/zel_host.h"

namespace {

namespace fs = std::filesystem;

const fs::path& BenchDir() {
    static const fs::path dir = [] {
        fs::path path = fs::temp_directory_path() / ("quorix_bench_casefile_" + std::to_string(getpid()));
        fs::create_directories(path);
        return path;
    }();
    return dir;
}

std::string WriteFile(const std::string& name, const std::string& text) {
    const fs::path path = BenchDir() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

// Six values a line, as writers print them.
std::string TimeValueLines(int64_t steps) {
    std::string text;
    char value[32];
    for (int64_t i = 0; i < steps; ++i) {
        const int length = std::snprintf(value, sizeof value, "%12.5e%c", static_cast<double>(i) * 1e-3,
                                         i % 6 == 5 ? '\n' : ' ');
        text.append(value, static_cast<size_t>(length));
    }
    return text + "\n";
}

std::string TimeSetHeader(int64_t steps) {
    return "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: 1 geo.*****\nTIME\ntime set: 1\nnumber of steps: " +
           std::to_string(steps) + "\n";
}

struct Parsed {
    bool ok = false;
    int64_t hostBytes = 0;  // live host memory of the record before its release
};

Parsed ParseAndRelease(const std::string& path, bool measureHost = false) {
    bool isEnsight6 = true;
    quorix::GeometrySectionInfo geometry;
    quorix::VariableSectionInfo* variables = nullptr;
    quorix::TimeSectionInfo* timeSets = nullptr;
    quorix::FileSectionInfo* fileSets = nullptr;
    Parsed parsed;
    parsed.ok = quorix::ParseCaseFile(path.c_str(), isEnsight6, geometry, variables, timeSets, fileSets);
    if (measureHost) {
        for (const auto& [label, live] : zelhost::LiveAllocations()) parsed.hostBytes += live.bytes;
    }
    quorix::ReleaseVariableSectionInfo(variables);
    quorix::ReleaseTimeSets(timeSets);
    quorix::ReleaseFileSets(fileSets);
    return parsed;
}

void ParseLoop(benchmark::State& state, const std::string& path, int64_t textBytes) {
    for (auto _ : state) {
        if (!ParseAndRelease(path).ok) state.SkipWithError("parse failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * textBytes);
}

void TimeSetInline(benchmark::State& state) {
    const std::string text = TimeSetHeader(state.range(0)) + "time values:\n" + TimeValueLines(state.range(0));
    ParseLoop(state, WriteFile("inline.case", text), static_cast<int64_t>(text.size()));
}

void TimeSetSideFile(benchmark::State& state) {
    const std::string values = TimeValueLines(state.range(0));
    WriteFile("times.txt", values);
    const std::string path = WriteFile("side.case", TimeSetHeader(state.range(0)) + "time values file: times.txt\n");
    ParseLoop(state, path, static_cast<int64_t>(values.size()));
}

void VariableLines(benchmark::State& state) {
    std::string text = "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: geo\nVARIABLE\n";
    for (int64_t i = 0; i < state.range(0); ++i) {
        text += "scalar per node: var" + std::to_string(i) + " var" + std::to_string(i) + ".res\n";
    }
    ParseLoop(state, WriteFile("variables.case", text), static_cast<int64_t>(text.size()));
}


void HugeStepCount(benchmark::State& state) {
    const std::string path = WriteFile("huge.case", TimeSetHeader(2147483647) + "time values: 0 1 2\n");
    zelhost::Settings settings = zelhost::CurrentSettings();
    settings.echoMessages = false;  // the host would print the failure at every iteration
    zelhost::Configure(settings);
    int64_t newBytes = 0;
    int64_t hostBytes = 0;
    for (auto _ : state) {
        const bench::AllocationSnapshot before;
        const Parsed parsed = ParseAndRelease(path, true);
        newBytes = bench::allocationBytes.load() - before.bytes;
        hostBytes = parsed.hostBytes;
        if (parsed.ok) state.SkipWithError("a count of 2147483647 with three values parsed");
    }
    state.counters["new_bytes"] = static_cast<double>(newBytes);
    state.counters["host_bytes"] = static_cast<double>(hostBytes);
}

}  // namespace

BENCHMARK(TimeSetInline)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(TimeSetSideFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(VariableLines)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(HugeStepCount)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    fs::remove_all(BenchDir(), error);
    return 0;
}

// EnSight 6 reading speeds, printed as MB/s: the C binary scan (with and
// without node ids, growing node counts), ASCII line skipping, ASCII values
// and connectivity lines, and node runs written into raw node-map storage.
// Usage: ensight6 [largest node count, default 1000000]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ensight6/connectivity_reader.h"
#include "ensight6/geometry_scanner.h"
#include "ensight6/text_fields.h"
#include "host/zel_host.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Report(const char* what, double bytes, double seconds) {
    std::printf("%-44s %10.1f MB/s  (%.3f s)\n", what, bytes / 1e6 / seconds, seconds);
}

void Record(std::string& out, const char* text) {
    char record[80] = {};
    std::memcpy(record, text, std::min(std::strlen(text), sizeof record));
    out.append(record, 80);
}

template <class T>
void Words(std::string& out, const T* values, size_t count) {
    out.append(reinterpret_cast<const char*>(values), count * 4);
}

// Native-order C binary geometry: nn nodes, one hexa8 part over them.
std::string BinaryGeometry(int32_t nn, bool ids) {
    std::string out;
    for (const char* text : {"C Binary", "bench", "bench", ids ? "node id given" : "node id off", "element id off",
                             "coordinates"})
        Record(out, text);
    Words(out, &nn, 1);
    std::vector<int32_t> idList(static_cast<size_t>(ids ? nn : 0));
    for (int32_t i = 0; i < static_cast<int32_t>(idList.size()); ++i) idList[static_cast<size_t>(i)] = i + 1;
    Words(out, idList.data(), idList.size());
    std::vector<float> xyz(3 * static_cast<size_t>(nn), 1.0f);
    Words(out, xyz.data(), xyz.size());
    Record(out, "part 1");
    Record(out, "hexes");
    Record(out, "hexa8");
    int32_t ne = nn / 8;
    Words(out, &ne, 1);
    std::vector<int32_t> conn(8 * static_cast<size_t>(ne));
    for (size_t i = 0; i < conn.size(); ++i) conn[i] = static_cast<int32_t>(i % static_cast<size_t>(nn)) + 1;
    Words(out, conn.data(), conn.size());
    return out;
}

std::string AsciiGeometry(int32_t nn) {
    std::string out = "bench\nbench\nnode id off\nelement id off\ncoordinates\n";
    char line[64];
    std::snprintf(line, sizeof line, "%8d\n", nn);
    out += line;
    for (int32_t i = 0; i < nn; ++i) {
        std::snprintf(line, sizeof line, "%12.5e%12.5e%12.5e\n", i * 0.5, -1.0 * i, 2.0);
        out += line;
    }
    out += "part 1\npoints\npoint\n       1\n       1\n";
    return out;
}

void TimeScan(const std::string& path, const char* what, double bytes) {
    auto start = Clock::now();
    quorix::Ensight6GeometryScanner scanner;
    quorix::Ensight6GeometryFile geometry;
    geometry.path = path;
    quorix::File_a* file = scanner.OpenEnsight6Geometry(path, geometry.encoding);
    bool ok = file != nullptr && scanner.ScanEnsight6Geometry(*file, geometry);
    quorix::File_a::Close(file);
    if (!ok) std::printf("%s: scan failed: %s\n", what, scanner.failure.text.c_str());
    Report(what, bytes, Seconds(start));
}

// One line parsed over and over; the sum keeps the work from being optimised away.
template <class T, int N, class Parse>
void TimeLines(const char* what, const std::string& line, Parse parse) {
    const int64_t lines = 2000000;
    T values[N];
    double sum = 0;
    auto start = Clock::now();
    for (int64_t i = 0; i < lines; ++i) {
        if (!parse(line, values)) return;
        sum += static_cast<double>(values[i % N]);
    }
    Report(what, static_cast<double>(line.size() * lines), Seconds(start));
    if (sum == 0.5) std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    zelhost::ResetHost();
    int32_t largest = argc > 1 ? std::atoi(argv[1]) : 1000000;
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "quorix_bench_e6";
    std::filesystem::create_directories(dir);

    for (int32_t nn = 100000; nn <= largest; nn *= 10) {
        for (bool ids : {false, true}) {
            std::string data = BinaryGeometry(nn, ids);
            std::string path = (dir / "bench.geo").string();
            std::ofstream(path, std::ios::binary) << data;
            std::string what = "binary scan, " + std::to_string(nn) + " nodes" + (ids ? ", ids" : "");
            TimeScan(path, what.c_str(), static_cast<double>(data.size()));
        }
    }
    {
        std::string data = AsciiGeometry(largest);
        std::string path = (dir / "bench_ascii.geo").string();
        std::ofstream(path, std::ios::binary) << data;
        TimeScan(path, "ASCII scan (line skipping)", static_cast<double>(data.size()));
    }
    TimeLines<float, 6>("ASCII values (6 per line)",
                        " 1.00000e+00-2.00000e+00 3.00000e+00-4.00000e+00 5.00000e+00 6.00000e+00\n",
                        [](const std::string& line, float* out) { return quorix::ParseFixedWidthValues(line, out, 6) == 6; });
    TimeLines<int32_t, 8>("ASCII connectivity (hexa8 lines)",
                          "     101     103     109     107     119     121     127     125\n",
                          [](const std::string& line, int32_t* out) { return quorix::ParseIntegerLine(line, out, 8); });
    {
        const int64_t elements = 4000000;
        std::vector<int32_t> storage(static_cast<size_t>(8 * elements));
        std::vector<int32_t> run(4096, 3);
        quorix::NodeMapAccess access;
        access.raw = storage.data();
        access.elementCount = elements;
        access.nodesPerElement = 8;
        auto start = Clock::now();
        for (int64_t first = 1; first <= 8 * elements; first += 4096)
            quorix::WriteNodeRun(access, 8, first, 4096, run.data());
        Report("node runs into raw storage", 4.0 * 8 * static_cast<double>(elements), Seconds(start));
    }
    std::filesystem::remove_all(dir);
    zelhost::ResetHost();
    return 0;
}

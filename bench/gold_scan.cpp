// Gold geometry scan speed (process CPU time): C binary scan time against array
// size (sparse files), ASCII line passing and polygon field counting in MB/s,
// and many small parts over two steps, scanned and looked up.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

#include "gold/geometry_reader.h"
#include "gold/part_collection.h"
#include "tests/support/ensight_writer.h"

namespace {

using quorix::test::Encoding;
using quorix::test::EnsightWriter;
// Process CPU time: the machine this runs on is shared, so wall time mostly
// measures the neighbours.
struct Clock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
};

double Seconds(Clock::time_point since) { return Clock::now() - since; }

std::string Scratch(const char* name) { return "/tmp/quorix_bench_" + std::to_string(::getpid()) + "_" + name; }

// Opens and scans `path` once; the time in seconds, negative on failure.
double ScanOnce(const std::string& path, size_t* parts = nullptr) {
    auto start = Clock::now();
    quorix::PartCollection collection(0, 1, 0, 1);
    quorix::CFileEnsightGeomGold reader;
    if (!reader.Open(path) || !reader.ScanParts(collection, 0)) {
        std::fprintf(stderr, "scan failed: %s\n", reader.errorText().c_str());
        return -1.0;
    }
    if (parts != nullptr) *parts = collection.parts().size();
    return Seconds(start);
}

double MedianScan(const std::string& path, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(ScanOnce(path));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// One hexa8 part whose arrays are holes in a sparse file: only headers are written.
void WriteSparseHexaPart(const std::string& path, int32_t nodes) {
    int32_t elements = nodes / 8;
    EnsightWriter head(Encoding::BinaryLE);
    head.GoldHeader().Part(1, "hexa").String("coordinates").Int(nodes);
    EnsightWriter tail(Encoding::BinaryLE);
    tail.String("hexa8").Int(elements);
    int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    int64_t at = head.size();
    bool ok = ::pwrite(fd, head.bytes().data(), head.bytes().size(), 0) == head.size();
    at += int64_t{nodes} * 12;
    ok = ok && ::pwrite(fd, tail.bytes().data(), tail.bytes().size(), at) == tail.size();
    at += tail.size() + int64_t{elements} * 32;
    ok = ok && ::ftruncate(fd, at) == 0;
    ::close(fd);
    if (!ok) std::fprintf(stderr, "could not write %s\n", path.c_str());
}

void BinaryScanAgainstSize() {
    std::string small = Scratch("small.geo");
    std::string large = Scratch("large.geo");
    WriteSparseHexaPart(small, 1000);
    WriteSparseHexaPart(large, 100000000);
    double a = MedianScan(small, 201);
    double b = MedianScan(large, 201);
    std::printf("C binary scan, one hexa8 part: 10^3 nodes %.1f us, 10^8 nodes %.1f us, ratio %.2f\n", a * 1e6,
                b * 1e6, b / a);
    ::unlink(small.c_str());
    ::unlink(large.c_str());
}

void AsciiSkip() {
    const size_t nodes = 3000000;
    EnsightWriter w(Encoding::Ascii);
    auto ramp = EnsightWriter::Ramp(nodes);
    w.GoldHeader().Part(1, "points").Coordinates(ramp, ramp, ramp);
    std::string path = Scratch("ascii.geo");
    w.Save(path);
    ScanOnce(path);  // into the page cache
    double t = MedianScan(path, 5);
    std::printf("ASCII scan, one value per line: %.0f MB in %.1f ms = %.0f MB/s\n", w.size() / 1e6, t * 1e3,
                w.size() / 1e6 / t);
    ::unlink(path.c_str());
}

void AsciiPolygons() {
    const size_t polygons = 1000000;
    EnsightWriter w(Encoding::Ascii);
    w.GoldHeader().Part(1, "polygons").Coordinates({0, 1, 1, 0}, {0, 0, 1, 1}, {0, 0, 0, 0});
    w.String("nsided").Int(static_cast<int32_t>(polygons));
    for (size_t i = 0; i < polygons; ++i) w.Raw("         4\n");
    for (size_t i = 0; i < polygons; ++i) w.Raw("         1         2         3         4\n");
    std::string path = Scratch("nsided.geo");
    w.Save(path);
    ScanOnce(path);
    double t = MedianScan(path, 5);
    std::printf("ASCII scan, nsided sizes and field counting: %.0f MB in %.1f ms = %.0f MB/s\n", w.size() / 1e6,
                t * 1e3, w.size() / 1e6 / t);
    ::unlink(path.c_str());
}

void ManyParts() {
    const int32_t parts = 100000;
    EnsightWriter w(Encoding::BinaryLE);
    w.String("C Binary");
    for (int step = 0; step < 2; ++step) {
        w.String("BEGIN TIME STEP").String("d1").String("d2").String("node id off").String("element id off");
        for (int32_t p = 1; p <= parts; ++p) {
            w.Part(p, "p").String("coordinates").Int(1).Floats({0, 0, 0}).String("point").Int(1).Int(1);
        }
        w.String("END TIME STEP");
    }
    std::string path = Scratch("parts.geo");
    w.Save(path);
    auto start = Clock::now();
    quorix::PartCollection collection(1, 2, 0, 1);
    quorix::CFileEnsightGeomGold reader;
    if (!reader.Open(path) || !reader.ScanParts(collection, 0)) {
        std::fprintf(stderr, "scan failed: %s\n", reader.errorText().c_str());
        return;
    }
    double scan = Seconds(start);
    start = Clock::now();
    int32_t zone = 0;
    for (const auto& part : collection.parts()) collection.RecordPartZone(part->partNumber, part->step, ++zone);
    int64_t found = 0;
    for (int step = 1; step <= 2; ++step) {
        for (int32_t p = 1; p <= parts; ++p) {
            found += collection.FindPart(p, step) != nullptr;
            found += collection.ZoneForPartStep(p, step) != 0;
            found += collection.StrandForPart(p) == p;
        }
    }
    double lookup = Seconds(start);
    std::printf("%d parts x 2 steps: scan %.0f ms (%.0f MB), zones recorded and looked up %.0f ms (%lld hits)\n",
                parts, scan * 1e3, w.size() / 1e6, lookup * 1e3, static_cast<long long>(found));
    ::unlink(path.c_str());
}

}  // namespace

int main() {
    BinaryScanAgainstSize();
    AsciiSkip();
    AsciiPolygons();
    ManyParts();
    return 0;
}

// Gold variable scans: a C binary scan seeks past the values, so its time per
// part must not grow with the node count; an ASCII scan passes lines without
// converting them. Usage: gold_var_scan [directory for the scratch files]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gold/variable_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

void Record80(std::string& out, const char* text) {
    char record[80] = {};
    std::strncpy(record, text, sizeof record - 1);
    out.append(record, sizeof record);
}

template <class T>
void Word(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), 4);
}

// Per-node scalar file of `parts` parts of `nodes` nodes each (native order).
bool WriteNodeFile(const std::string& path, bool binary, int32_t parts, int64_t nodes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::string chunk;
    if (binary) {
        Record80(chunk, "bench scalar");
    } else {
        chunk += "bench scalar\n";
    }
    for (int32_t p = 1; p <= parts; ++p) {
        if (binary) {
            Record80(chunk, "part");
            Word(chunk, p);
            Record80(chunk, "coordinates");
        } else {
            char header[64];
            std::snprintf(header, sizeof header, "part\n%10d\ncoordinates\n", p);
            chunk += header;
        }
        for (int64_t i = 0; i < nodes; ++i) {
            const float value = static_cast<float>(i % 1000) * 0.25f;
            if (binary) {
                Word(chunk, value);
            } else {
                char field[32];
                std::snprintf(field, sizeof field, "%12.5e\n", static_cast<double>(value));
                chunk += field;
            }
            if (chunk.size() > (1u << 20)) {
                std::fwrite(chunk.data(), 1, chunk.size(), file);
                chunk.clear();
            }
        }
    }
    std::fwrite(chunk.data(), 1, chunk.size(), file);
    return std::fclose(file) == 0;
}

void AddParts(quorix::PartCollection& geometry, int32_t parts, int64_t nodes) {
    for (int32_t p = 1; p <= parts; ++p) {
        quorix::PartInfo& part = geometry.AddPart(p, 1);
        part.kind = quorix::PartUnstructured;
        part.nodeCount = static_cast<int32_t>(nodes);
    }
}

// Median seconds of one open + scan over `repeats` runs; negative on failure.
double ScanSeconds(const std::string& path, quorix::PartCollection& geometry, int repeats) {
    std::vector<double> times;
    for (int r = 0; r < repeats; ++r) {
        const auto start = Clock::now();
        quorix::CFileEnsightVarGold reader;
        quorix::VariableKind kind;
        if (!reader.Open(path, geometry) || !reader.ScanVariableParts(geometry, kind, 0)) {
            std::fprintf(stderr, "scan of %s failed: %s\n", path.c_str(), reader.errorText().c_str());
            return -1.0;
        }
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + repeats / 2, times.end());
    return times[repeats / 2];
}

struct Case {
    const char* name;
    bool binary;
    int32_t parts;
    int64_t nodes;
    int repeats;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string directory = argc > 1 ? argv[1] : "/tmp";
    const Case cases[] = {
        {"C binary, 1 part of 10^3 nodes", true, 1, 1000, 201},
        {"C binary, 1 part of 10^7 nodes", true, 1, 10000000, 201},
        {"C binary, 20000 parts of 10 nodes", true, 20000, 10, 5},
        {"C binary, 40 parts of 2.5 x 10^5 nodes", true, 40, 250000, 21},
        {"ASCII, 1 part of 5 x 10^6 nodes", false, 1, 5000000, 5},
        {"ASCII, 20000 parts of 100 nodes", false, 20000, 100, 5},
    };
    double smallBinary = 0.0;
    for (const Case& c : cases) {
        const std::string path = directory + "/gold_var_scan_" + std::to_string(::getpid()) + ".var";
        if (!WriteNodeFile(path, c.binary, c.parts, c.nodes)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        quorix::PartCollection geometry(0, 1, 0, 1);
        AddParts(geometry, c.parts, c.nodes);
        ScanSeconds(path, geometry, 1);  // page cache warm
        const double seconds = ScanSeconds(path, geometry, c.repeats);
        FILE* file = std::fopen(path.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        const double megabytes = static_cast<double>(std::ftell(file)) / 1e6;
        std::fclose(file);
        std::remove(path.c_str());
        if (seconds < 0) return 1;
        std::printf("%-36s %10.1f us/scan %10.3f us/part %10.1f MB/s", c.name, seconds * 1e6,
                    seconds * 1e6 / c.parts, megabytes / seconds);
        if (c.binary && c.parts == 1 && smallBinary == 0.0) smallBinary = seconds;
        if (c.binary && c.parts == 1 && c.nodes > 1000) std::printf("   (%.2fx the 10^3-node part)", seconds / smallBinary);
        std::printf("\n");
    }
    return 0;
}

// Speed of the deferred loaders through libzel: one hexa8 part written to a
// temporary folder in C binary (both byte orders) and ASCII, then coordinates,
// cell values, the brick node map and the polyhedron face map are forced;
// then nfaced and nsided blocks of as many elements (face maps as read).
// Usage: loaders [CELLS] [polytopes]   (default 2 000 000 cells; "polytopes": the
// nfaced and nsided face maps only); prints MB/s and entries/s per CPU second.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "casefile/element_types.h"
#include "dataset/deferred_loading.h"
#include "gold/ensight_reader.h"
#include "gold/file_a.h"
#include "host/zel_host.h"
#include "host_api/host_lock.h"
#include "host_api/zel_api.h"

namespace {

using quorix::PartInfo;

// Writes 4-byte words in one byte order, or ASCII fields one value per line
// (connectivity: one element per line), recording offsets as a scan would.
class Writer {
public:
    Writer(const std::string& path, quorix::GeometryEncoding format, bool swap) : file_(std::fopen(path.c_str(), "wb")), format_(format), swap_(swap) {}
    ~Writer() { std::fclose(file_); }
    int64_t Tell() const { return std::ftell(file_); }
    void Ints(const int32_t* values, int64_t count, int perLine) {
        if (format_ == quorix::EncodingCBinary) return Words(values, count);
        char line[16 * 21];
        for (int64_t i = 0; i < count; i += perLine) {
            int at = 0;
            for (int k = 0; k < perLine; ++k) at += std::snprintf(line + at, sizeof line - static_cast<size_t>(at), "%10d", values[i + k]);
            line[at++] = '\n';
            std::fwrite(line, 1, static_cast<size_t>(at), file_);
        }
    }
    void Floats(const float* values, int64_t count) {
        if (format_ == quorix::EncodingCBinary) return Words(values, count);
        char line[32];
        for (int64_t i = 0; i < count; ++i) {
            const int n = std::snprintf(line, sizeof line, "%12.5e\n", static_cast<double>(values[i]));
            std::fwrite(line, 1, static_cast<size_t>(n), file_);
        }
    }

private:
    void Words(const void* values, int64_t count) {
        std::vector<char> bytes(static_cast<size_t>(count) * 4);
        std::memcpy(bytes.data(), values, bytes.size());
        if (swap_) {
            for (size_t i = 0; i < bytes.size(); i += 4) {
                std::swap(bytes[i], bytes[i + 3]);
                std::swap(bytes[i + 1], bytes[i + 2]);
            }
        }
        std::fwrite(bytes.data(), 1, bytes.size(), file_);
    }
    FILE* file_;
    quorix::GeometryEncoding format_;
    bool swap_;
};

struct Files {
    PartInfo part;
    int64_t valuesOffset = 0;
    std::string valuesPath;
};

// An unstructured part of as many nodes as elements, as a scan would record it.
PartInfo ScannedPart(const std::string& fileName, quorix::ElementCategoryCode category, quorix::GeometryEncoding format, bool swap, int32_t cells) {
    PartInfo part;
    part.fileName = fileName;
    part.kind = quorix::PartUnstructured;
    part.category = category;
    part.format = format;
    part.byteOrder = (quorix::NativeByteOrder() == quorix::LittleEndian) != swap ? quorix::LittleEndian : quorix::BigEndian;
    part.nodeCount = cells;
    part.elementCount = cells;
    part.imax = cells;
    part.jmax = cells;
    return part;
}

Files WriteCase(const std::string& folder, quorix::GeometryEncoding format, bool swap, int32_t cells) {
    Files files;
    PartInfo& part = files.part;
    part = ScannedPart(folder + "/bench.geo", quorix::CategoryVolume, format, swap, cells);
    part.maxNodesPerElement = 8;
    std::vector<float> ramp(static_cast<size_t>(cells));
    for (int32_t i = 0; i < cells; ++i) ramp[static_cast<size_t>(i)] = static_cast<float>(i) * 0.5f;
    std::vector<int32_t> connectivity(static_cast<size_t>(cells) * 8);
    for (size_t i = 0; i < connectivity.size(); ++i) connectivity[i] = static_cast<int32_t>(i % static_cast<size_t>(cells)) + 1;
    {
        Writer geo(part.fileName, format, swap);
        part.xOffset = geo.Tell();
        geo.Floats(ramp.data(), cells);
        quorix::ElementBlockInfo block;
        block.type = quorix::ElementHexa8;
        block.nodesPerElement = 8;
        block.elementCount = cells;
        block.inCategory = true;
        block.offset = geo.Tell();
        geo.Ints(connectivity.data(), static_cast<int64_t>(connectivity.size()), 8);
        part.blocks.push_back(block);
    }
    files.valuesPath = folder + "/bench.var";
    Writer var(files.valuesPath, format, swap);
    files.valuesOffset = var.Tell();
    var.Floats(ramp.data(), cells);
    return files;
}

// One nfaced block of `cells` elements with six four-node faces each, or one
// nsided block of `cells` quadrilaterals, in a file of its own.
PartInfo WritePolytopes(const std::string& folder, quorix::GeometryEncoding format, bool swap, int32_t cells, bool polyhedra) {
    const std::string fileName = folder + (polyhedra ? "/nfaced.geo" : "/nsided.geo");
    PartInfo part = ScannedPart(fileName, polyhedra ? quorix::CategoryVolume : quorix::CategorySurface, format, swap, cells);
    part.polytope = true;
    const int32_t faces = polyhedra ? 6 : 1;
    quorix::ElementBlockInfo block;
    block.type = polyhedra ? quorix::ElementNfaced : quorix::ElementNsided;
    block.elementCount = cells;
    block.faceCount = polyhedra ? faces * cells : 0;
    block.nodeCount = faces * 4 * cells;
    block.inCategory = true;
    std::vector<int32_t> nodes(static_cast<size_t>(block.nodeCount));
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodes[i] = static_cast<int32_t>((i * 7) % static_cast<size_t>(cells)) + 1;
    }
    Writer geo(part.fileName, format, swap);
    block.offset = geo.Tell();
    const std::vector<int32_t> perElement(static_cast<size_t>(cells), polyhedra ? faces : 4);
    geo.Ints(perElement.data(), cells, 1);
    if (polyhedra) {
        const std::vector<int32_t> perFace(static_cast<size_t>(block.faceCount), 4);
        geo.Ints(perFace.data(), block.faceCount, 1);
    }
    geo.Ints(nodes.data(), block.nodeCount, 4);
    part.blocks.push_back(block);
    return part;
}

void CreateZone(int32_t zoneType, const PartInfo& part) {
    StringList_pa names = ZelUtilStringListAlloc();
    for (const char* name : {"X", "Y", "Z", "V"}) ZelUtilStringListAppendString(names, name);
    ZelUtilDataSetCreate("bench", names, ZEL_TRUE);
    ZelUtilStringListDealloc(&names);
    int32_t types[4] = {1, 1, 1, 1};
    ArgList_pa args = ZelUtilArgListAlloc();
    ZelUtilArgListAppendInt(args, "ZONETYPE", zoneType);
    ZelUtilArgListAppendInt(args, "IMAX", part.nodeCount);
    ZelUtilArgListAppendInt(args, "JMAX", part.elementCount);
    ZelUtilArgListAppendArray(args, "VARDATATYPE", types);
    ZelUtilArgListAppendInt(args, "DEFERVARCREATION", 1);
    ZelUtilArgListAppendInt(args, "DEFERNODEMAPCREATION", 1);
    ZelUtilDataSetAddZoneX(args);
    ZelUtilArgListDealloc(&args);
}

struct Timing {
    bool ok = false;
    double cpu = 0;
    double wall = 0;
};

Timing Measure(const std::function<bool()>& load) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    Timing t;
    t.ok = load();
    t.cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return t;
}

Timing Faster(const Timing& best, const Timing& next) {
    if (!next.ok) return next;
    return best.ok && best.cpu <= next.cpu ? best : next;
}

// Rates per second of the process's CPU time (user and system, page faults included): on a shared
// machine that is the figure to compare; the wall time is shown beside it.
void Print(const char* what, const char* encoding, int64_t bytes, int64_t entries, const Timing& t) {
    const double megabytes = static_cast<double>(bytes) / 1e6;
    const double millions = static_cast<double>(entries) / 1e6;
    std::printf("%-10s %-10s %s %8.1f MB/s %8.1f M entries/s  (cpu %.3f s, wall %.3f s)\n", encoding, what,
                t.ok ? "ok    " : "FAILED", megabytes / t.cpu, millions / t.cpu, t.cpu, t.wall);
}

void Report(const char* what, const char* encoding, int64_t bytes, int64_t entries, const std::function<bool()>& load) {
    Print(what, encoding, bytes, entries, Measure(load));
}

void Run(const char* encoding, const Files& files) {
    const PartInfo& part = files.part;
    const int64_t cells = part.elementCount;
    const int64_t connectivityBytes = static_cast<int64_t>(std::filesystem::file_size(part.fileName)) - part.blocks[0].offset;
    const int64_t coordinateBytes = part.blocks[0].offset - part.xOffset;

    CreateZone(ZelZoneBrick, part);
    quorix::RegisterCoordinateLoaders(part, 1);
    quorix::RegisterNodeMapLoader(part, 1);
    quorix::PartVariableInfo variable;
    variable.fileName = files.valuesPath;
    variable.format = part.format;
    variable.byteOrder = part.byteOrder;
    quorix::TypeVariableInfo section;
    section.type = quorix::ElementHexa8;
    section.count = static_cast<int32_t>(cells);
    section.present = true;
    section.componentOffset[0] = files.valuesOffset;
    variable.types.push_back(section);
    quorix::RegisterCellValueLoaders(variable, part, 1, 4, 1);
    Report("coords X", encoding, coordinateBytes, cells, [] { return zelhost::ForceField(1, 1); });
    Report("cell vals", encoding, coordinateBytes, cells, [] { return zelhost::ForceField(1, 4); });
    Report("node map", encoding, connectivityBytes, cells * 8, [] { return zelhost::ForceNodeMap(1); });
    zelhost::DeleteAllFrames();

    PartInfo polyhedra = part;
    polyhedra.polytope = true;
    CreateZone(ZelZonePolyhedron, polyhedra);
    quorix::RegisterPolyhedronFaceMapLoader(polyhedra, 1);
    Report("face map", encoding, connectivityBytes, cells * 24, [] { return zelhost::ForceFaceMap(1); });
    zelhost::DeleteAllFrames();
}

// Face maps read as they lie in the file: entries are face-node entries. Each
// is the first load of a fresh zone; the best of three is shown, as the
// machine may be shared.
void RunPolytopes(const char* encoding, const std::string& folder, quorix::GeometryEncoding format, bool swap, int32_t cells) {
    for (const bool polyhedra : {true, false}) {
        const PartInfo part = WritePolytopes(folder, format, swap, cells, polyhedra);
        const auto bytes = static_cast<int64_t>(std::filesystem::file_size(part.fileName));
        Timing fastest;
        for (int run = 0; run < 3; ++run) {
            CreateZone(polyhedra ? ZelZonePolyhedron : ZelZonePolygon, part);
            if (polyhedra) {
                quorix::RegisterPolyhedronFaceMapLoader(part, 1);
            } else {
                quorix::RegisterPolygonFaceMapLoader(part, 1);
            }
            fastest = Faster(fastest, Measure([] { return zelhost::ForceFaceMap(1); }));
            zelhost::DeleteAllFrames();
        }
        Print(polyhedra ? "nfaced" : "nsided", encoding, bytes, part.blocks[0].nodeCount, fastest);
        std::filesystem::remove(part.fileName);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int32_t cells = argc > 1 ? std::atoi(argv[1]) : 2'000'000;
    const bool polytopesOnly = argc > 2 && std::strcmp(argv[2], "polytopes") == 0;
    if (cells < 1 || (argc > 2 && !polytopesOnly)) return 2;
    zelhost::ResetHost();
    quorix::SetAddOnId(ZelUtilAddOnRegister(113, "Quorix bench", "1.0", "bench"));
    const auto folder = std::filesystem::temp_directory_path() / ("quorix_bench_loaders_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    struct Encoding {
        const char* name;
        quorix::GeometryEncoding format;
        bool swap;
    };
    const Encoding encodings[] = {{"binary", quorix::EncodingCBinary, false},
                                  {"binary-sw", quorix::EncodingCBinary, true},
                                  {"ascii", quorix::EncodingAscii, false}};
    std::printf("%d hexa8 cells, %d nodes\n", cells, cells);
    for (const Encoding& e : encodings) {
        if (!polytopesOnly) Run(e.name, WriteCase(folder.string(), e.format, e.swap, cells));
        RunPolytopes(e.name, folder.string(), e.format, e.swap, cells);
    }
    std::filesystem::remove_all(folder);
    return 0;
}

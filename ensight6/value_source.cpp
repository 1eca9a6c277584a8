#include "ensight6/value_source.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dataset/deferred_load_info.h"
#include "dataset/deferred_loading.h"
#include "dataset/field_loading.h"
#include "dataset/load_reader.h"
#include "ensight6/ascii_value_reader.h"
#include "ensight6/geometry_part.h"
#include "ensight6/text_fields.h"
#include "gold/file_a.h"
#include "host_api/host_lock.h"

namespace quorix {
namespace {

const Ensight6ValueSource* SourceOf(FieldData_pa field) {
    HostLock lock;
    return reinterpret_cast<const Ensight6ValueSource*>(ZelUtilDataValueGetClientData(field));
}

template <class Body>
Boolean_t Guarded(FieldData_pa field, Body&& body) noexcept {
    const Ensight6ValueSource* s = SourceOf(field);
    if (s == nullptr) return ZEL_FALSE;
    return LoadOrReport(s->fileName.view(), "values", s->offset, [&] { return body(*s); });
}

// C binary values load as the Gold ones do, from a record of the same kind.
DeferredLoadInfo BinaryLoad(const Ensight6ValueSource& s, LoadKind kind, int32_t stride = 1, int32_t component = 0) {
    DeferredLoadInfo info;
    info.fileName = s.fileName.view();
    info.dataOffset = s.offset;
    info.valueCount = s.valueCount;
    info.format = EncodingCBinary;
    info.byteOrder = s.byteOrder;
    info.kind = kind;
    info.stride = stride;
    info.component = component;
    return info;
}

// Closes on every way out.
class AsciiFile {
public:
    explicit AsciiFile(const Ensight6ValueSource& source) {
        OpenFailure failure = OpenFailure::None;
        file_ = File_a::Open(source.fileName.c_str(), "rb", NativeByteOrder(), &failure);
        if (file_ == nullptr) NoteReadFailure({{}, {std::string(source.fileName.view())}, failure});
    }
    ~AsciiFile() { File_a::Close(file_); }
    AsciiFile(const AsciiFile&) = delete;
    AsciiFile& operator=(const AsciiFile&) = delete;
    File_a* get() const { return file_; }

private:
    File_a* file_ = nullptr;
};

// Whole lines to a chunk, whatever their width (see ChunkValues).
template <class T, class Read>
bool LoadAscii(FieldData_pa field, const Ensight6ValueSource& s, Read&& read) {
    AsciiFile file(s);
    if (file.get() == nullptr || !file.get()->Seek(s.offset, 0)) return false;
    AsciiValueReader reader(*file.get());
    bool readFailed = false;
    const bool loaded = FillChunks<T>(
        s.valueCount, ChunkValues,
        [&](T* values, int64_t n) {
            if (read(reader, values, n)) return true;
            readFailed = true;
            return false;
        },
        [&](T* values, int64_t first, int64_t n) { return HandOver(field, first, n, values); });
    if (readFailed) NoteReadFailure({"bad or missing values", {std::string(s.fileName.view()), file.get()->Tell(), true}});
    return loaded;
}

// `nodes` lines of the node list into `xyz`, x y z per node.
bool ReadNodeLines(AsciiValueReader& reader, bool hasId, float* xyz, int64_t nodes, std::string& line) {
    if (!hasId) return reader.ReadValues(xyz, 3 * nodes, 3);
    for (int64_t i = 0; i < nodes; ++i) {
        if (!reader.ReadLine(line)) return false;
        for (int k = 0; k < 3; ++k)
            if (!CoordinateField(line, k, hasId, xyz[3 * i + k])) return false;
    }
    return true;
}

// All three columns of the node list, or none (the loads then read their own).
void ReadNodeColumns(const Ensight6ValueSource& s, PageArray<float> (&columns)[3]) {
    const int64_t nodes = s.valueCount;
    for (PageArray<float>& column : columns) column = PageArray<float>(nodes);
    AsciiFile file(s);
    bool read = columns[0] && columns[1] && columns[2] && file.get() != nullptr && file.get()->Seek(s.offset, 0);
    if (read) {
        AsciiValueReader reader(*file.get());
        const bool hasId = HasNodeIds(s.dim3);
        std::string line;
        read = FillChunks<float>(
            3 * nodes, ChunkValues,
            [&](float* xyz, int64_t n) { return ReadNodeLines(reader, hasId, xyz, n / 3, line); },
            [&](const float* xyz, int64_t first, int64_t n) {
                for (int k = 0; k < 3; ++k) GatherComponent(xyz, columns[k].get() + first / 3, n / 3, 3, k);
                return true;
            });
    }
    if (!read)
        for (PageArray<float>& column : columns) column = {};
}

// The component's column: converted with the other two by the first load to
// come, handed out once.
PageArray<float> TakeNodeColumn(const Ensight6ValueSource& s, int component) {
    NodeColumns& shared = *s.nodeColumns;
    const std::lock_guard<std::mutex> lock(shared.mutex);
    if (!shared.read) {
        shared.read = true;
        ReadNodeColumns(s, shared.columns);
    }
    return std::move(shared.columns[component]);
}

}  // namespace

Ensight6ValueSource* NewValueSource(std::string_view path) {
    Ensight6ValueSource* source = HostNew<Ensight6ValueSource>("Client Data");
    if (source == nullptr) return nullptr;
    if (!source->fileName.Assign(path, "File Name")) HostDelete(source);
    return source;
}

bool RegisterValueSource(EntIndex_t zone, EntIndex_t variable, LoadOnDemandVarLoad_pf load,
                         Ensight6ValueSource* source) {
    if (source == nullptr) return false;
    if (ZelUtilDataValueCustomLOD(zone, variable, load, nullptr, ReleaseValueSource, nullptr, nullptr,
                                  reinterpret_cast<ArbParam_t>(source)) == ZEL_TRUE)
        return true;
    HostDelete(source);
    return false;
}

void ReleaseValueSource(FieldData_pa field) {
    HostLock lock;
    auto* source = reinterpret_cast<Ensight6ValueSource*>(ZelUtilDataValueGetClientData(field));
    HostDelete(source);
}

Boolean_t LoadBlockCoordinatesBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadFieldValues(BinaryLoad(s, LoadKind::FloatsWithRange), field);
    });
}

// x y z per node
Boolean_t LoadNodeCoordinatesBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadFieldValues(BinaryLoad(s, LoadKind::StridedFloats, 3, s.variable - 1), field);
    });
}

Boolean_t LoadBlockCoordinatesAscii(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadAscii<float>(field, s, [](AsciiValueReader& reader, float* values, int64_t n) {
            return reader.ReadValues(values, n, 6);
        });
    });
}

Boolean_t LoadBlockIBlankAscii(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadAscii<int32_t>(field, s, [](AsciiValueReader& reader, int32_t* values, int64_t n) {
            return reader.ReadIntegers(values, n, 10);
        });
    });
}

// One node per line: its id when the geometry has them, then x y z.
Boolean_t LoadNodeCoordinatesAscii(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        const int component = s.variable - 1;
        if (s.nodeColumns != nullptr) {
            const PageArray<float> column = TakeNodeColumn(s, component);
            if (column) return HandOver(field, 0, s.valueCount, column.get());
        }
        // Without ids a line is three plain reals, of which only this component is converted.
        const bool hasId = HasNodeIds(s.dim3);
        std::string line;
        return LoadAscii<float>(field, s, [&](AsciiValueReader& reader, float* values, int64_t n) {
            if (!hasId) return reader.ReadColumn(values, n, 3, component);
            for (int64_t i = 0; i < n; ++i)
                if (!reader.ReadLine(line) || !CoordinateField(line, component, hasId, values[i])) return false;
            return true;
        });
    });
}

Boolean_t LoadBlockIBlankBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadFieldValues(BinaryLoad(s, LoadKind::IBlank), field);
    });
}

// Components interleaved per node.
Boolean_t LoadNodeVariableBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadFieldValues(BinaryLoad(s, LoadKind::StridedFloats, s.dim2, s.dim3 - 1), field);
    });
}

// Components interleaved per node.
Boolean_t LoadBlockNodeVariableBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadFieldValues(BinaryLoad(s, LoadKind::StridedFloats, s.blockComponents, s.blockComponent), field);
    });
}

// Components interleaved per element.
Boolean_t LoadElementVariableBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        DeferredLoadInfo info = BinaryLoad(s, LoadKind::CellValues, s.dim2, s.dim3 - 1);
        info.blocks = s.blocks;
        for (const LoadBlock& block : s.blocks) info.valueCount += block.count;
        return LoadFieldValues(info, field);
    });
}

Boolean_t LoadBlockElementVariableBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        DeferredLoadInfo info = BinaryLoad(s, LoadKind::StructuredCellValues, s.blockComponents, s.blockComponent);
        info.dims = {s.dim1, s.dim2, s.dim3};
        return LoadFieldValues(info, field);
    });
}

}  // namespace quorix

#include "ensight6/value_source.h"

#include <algorithm>
#include <limits>
#include <new>

#include "casefile/host_lock.h"
#include "dataset/deferred_loading.h"
#include "ensight6/ascii_value_reader.h"
#include "ensight6/geometry_part.h"
#include "ensight6/text_fields.h"
#include "gold/file_a.h"

namespace quorix {
namespace {

// Values per hand-over: keeps every callback's buffer small.
constexpr int64_t RunValues = 4096;

int32_t FileByteOrder(bool swapBytes) {
    int32_t native = NativeByteOrder();
    return swapBytes ? (native == LittleEndian ? BigEndian : LittleEndian) : native;
}

// Closes on every way out.
class OpenFile {
public:
    explicit OpenFile(const Ensight6ValueSource& source)
        : file_(File_a::Open(source.fileName.c_str(), "rb", FileByteOrder(source.swapBytes))) {}
    ~OpenFile() { File_a::Close(file_); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    File_a* get() const { return file_; }

private:
    File_a* file_;
};

const Ensight6ValueSource* SourceOf(FieldData_pa field) {
    HostLock lock;
    return reinterpret_cast<const Ensight6ValueSource*>(ZelUtilDataValueGetClientData(field));
}

bool Hand(FieldData_pa field, int64_t firstPosition, int64_t count, const void* values) {
    if (count == 0) return true;
    HostLock lock;
    return ZelUtilDataValueArraySetByRef(field, firstPosition, count, values) == ZEL_TRUE;
}

bool ReadWords(File_a& file, float* values, int64_t count) { return file.ReadFloat32Array(values, count); }
bool ReadWords(File_a& file, int32_t* values, int64_t count) { return file.ReadInt32Array(values, count); }

// Reads `count` items of `stride` words from `offset` and passes word
// `component` of each item to sink(firstItem, values, n), run by run.
template <class T, class Sink>
bool ForEachRun(File_a& file, int64_t offset, int64_t count, int32_t stride, int32_t component, Sink&& sink) {
    if (count < 0 || stride < 1 || component < 0 || component >= stride || offset < 0) return false;
    int64_t size = file.FileSize();
    if (offset > size || count > (size - offset) / 4 / stride) return false;  // truncated file
    if (!file.Seek(offset, 0)) return false;
    int64_t runItems = std::max<int64_t>(RunValues / stride, 1);
    std::vector<T> buffer(static_cast<size_t>(std::min(count, runItems) * stride));
    for (int64_t done = 0; done < count;) {
        int64_t n = std::min(runItems, count - done);
        if (!ReadWords(file, buffer.data(), n * stride)) return false;
        if (stride > 1)
            for (int64_t i = 0; i < n; ++i) buffer[static_cast<size_t>(i)] = buffer[static_cast<size_t>(i * stride + component)];
        if (!sink(done, buffer.data(), n)) return false;
        done += n;
    }
    return true;
}

template <class T>
bool LoadBinaryRuns(FieldData_pa field, const Ensight6ValueSource& s, int64_t offset, int64_t count, int32_t stride,
                    int32_t component) {
    OpenFile file(s);
    if (file.get() == nullptr) return false;
    return ForEachRun<T>(*file.get(), offset, count, stride, component,
                         [&](int64_t first, const T* values, int64_t n) { return Hand(field, first + 1, n, values); });
}

template <class Body>
Boolean_t Guarded(FieldData_pa field, Body&& body) noexcept {
    const Ensight6ValueSource* s = SourceOf(field);
    if (s == nullptr) return ZEL_FALSE;
    return LoadOrReport(s->fileName.view(), "values", s->offset, [&] { return body(*s); });
}

// ASCII lines of `perLine` values each, runs of whole lines.
template <class T>
bool LoadAsciiRuns(FieldData_pa field, const Ensight6ValueSource& s, int perLine) {
    OpenFile file(s);
    if (file.get() == nullptr || !file.get()->Seek(s.offset, 0)) return false;
    AsciiValueReader reader(*file.get());
    int64_t runValues = (RunValues / perLine) * perLine;
    std::vector<T> buffer(static_cast<size_t>(std::min<int64_t>(s.valueCount, runValues)));
    for (int64_t done = 0; done < s.valueCount;) {
        int64_t n = std::min<int64_t>(runValues, s.valueCount - done);
        bool ok;
        if constexpr (std::is_same_v<T, float>)
            ok = reader.ReadValues(buffer.data(), n, perLine);
        else
            ok = reader.ReadIntegers(buffer.data(), n, perLine);
        if (!ok || !Hand(field, done + 1, n, buffer.data())) return false;
        done += n;
    }
    return true;
}

}  // namespace

int64_t BlockCellPosition(int32_t imax, int32_t jmax, int32_t /*kmax*/, int64_t cell) {
    int64_t ci = std::max<int64_t>(imax - 1, 1);
    int64_t cj = std::max<int64_t>(jmax - 1, 1);
    int64_t i = cell % ci;
    int64_t j = (cell / ci) % cj;
    int64_t k = cell / (ci * cj);
    return 1 + i + j * imax + k * static_cast<int64_t>(imax) * jmax;
}

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
        OpenFile file(s);
        if (file.get() == nullptr) return false;
        float lo = 0, hi = 0;
        bool ok = ForEachRun<float>(*file.get(), s.offset, s.valueCount, 1, 0,
                                    [&](int64_t first, const float* values, int64_t n) {
                                        if (first == 0 && n > 0) lo = hi = values[0];
                                        for (int64_t i = 0; i < n; ++i) {
                                            lo = std::min(lo, values[i]);
                                            hi = std::max(hi, values[i]);
                                        }
                                        return Hand(field, first + 1, n, values);
                                    });
        if (ok) {
            HostLock lock;
            ZelUtilDataValueSetMinMaxByRef(field, lo, hi);
        }
        return ok;
    });
}

Boolean_t LoadNodeCoordinatesBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadBinaryRuns<float>(field, s, s.offset, s.valueCount, 3, s.variable - 1);
    });
}

Boolean_t LoadBlockCoordinatesAscii(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) { return LoadAsciiRuns<float>(field, s, 6); });
}

Boolean_t LoadBlockIBlankAscii(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) { return LoadAsciiRuns<int32_t>(field, s, 10); });
}

Boolean_t LoadNodeCoordinatesAscii(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        OpenFile file(s);
        if (file.get() == nullptr || !file.get()->Seek(s.offset, 0)) return false;
        AsciiValueReader reader(*file.get());
        bool hasId = HasNodeIds(s.dim3);
        std::vector<float> buffer(static_cast<size_t>(std::min<int64_t>(s.valueCount, RunValues)));
        std::string line;
        for (int64_t done = 0; done < s.valueCount;) {
            int64_t n = std::min<int64_t>(RunValues, s.valueCount - done);
            for (int64_t i = 0; i < n; ++i)
                if (!reader.ReadLine(line) ||
                    !CoordinateField(line, s.variable - 1, hasId, buffer[static_cast<size_t>(i)]))
                    return false;
            if (!Hand(field, done + 1, n, buffer.data())) return false;
            done += n;
        }
        return true;
    });
}

Boolean_t LoadBlockIBlankBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadBinaryRuns<int32_t>(field, s, s.offset, s.valueCount, 1, 0);
    });
}

Boolean_t LoadNodeVariableBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadBinaryRuns<float>(field, s, s.offset, s.valueCount, s.dim2, s.dim3 - 1);
    });
}

Boolean_t LoadBlockNodeVariableBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        return LoadBinaryRuns<float>(field, s, s.offset, s.valueCount, 1, 0);
    });
}

Boolean_t LoadElementVariableBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        OpenFile file(s);
        if (file.get() == nullptr) return false;
        std::vector<float> doubled;
        for (const ValueRange& range : s.ranges) {
            int64_t position = range.position;
            bool ok = ForEachRun<float>(*file.get(), range.offset, range.count, s.dim2, s.dim3 - 1,
                                        [&](int64_t, const float* values, int64_t n) {
                                            if (!range.twice) {
                                                position += n;
                                                return Hand(field, position - n, n, values);
                                            }
                                            doubled.resize(static_cast<size_t>(2 * n));
                                            for (int64_t i = 0; i < n; ++i)
                                                doubled[static_cast<size_t>(2 * i)] =
                                                    doubled[static_cast<size_t>(2 * i + 1)] = values[i];
                                            position += 2 * n;
                                            return Hand(field, position - 2 * n, 2 * n, doubled.data());
                                        });
            if (!ok) return false;
        }
        return true;
    });
}

Boolean_t LoadBlockElementVariableBinary(FieldData_pa field) {
    return Guarded(field, [&](const Ensight6ValueSource& s) {
        OpenFile file(s);
        if (file.get() == nullptr) return false;
        int64_t rowLength = std::max<int32_t>(s.dim1 - 1, 1);
        return ForEachRun<float>(*file.get(), s.offset, s.valueCount, s.cellComponents, s.cellComponent,
                                 [&](int64_t first, const float* values, int64_t n) {
                                     // whole rows of I-1 cells are contiguous in the host
                                     for (int64_t i = 0; i < n;) {
                                         int64_t cell = first + i;
                                         int64_t len = std::min(n - i, rowLength - cell % rowLength);
                                         if (!Hand(field, BlockCellPosition(s.dim1, s.dim2, s.dim3, cell), len,
                                                   values + i))
                                             return false;
                                         i += len;
                                     }
                                     return true;
                                 });
    });
}

}  // namespace quorix

#include "dataset/field_loading.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif
#include <vector>

#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "dataset/load_reader.h"
#include "host_api/hand_over.h"
#include "host_api/host_lock.h"

namespace quorix {
namespace {

bool OpenAt(LoadReader& reader, const DeferredLoadInfo& info, int64_t offset, int64_t count) {
    return reader.Open(info.fileName, info.format, info.byteOrder, offset) && reader.Fits(offset, count);
}

// Records of `stride` words of which one is ours: 0-based `component` of the
// stride (interleaved values) or the whole one-word record.
bool StrideKnown(const DeferredLoadInfo& info) {
    return info.stride == 1 || (info.stride > 1 && info.component >= 0 && info.component < info.stride);
}

// Reads `records` records of `info.stride` words from where the reader stands
// and hands the component of each to `consume`(values, first record, records).
template <class T, class Consume>
bool ReadRecords(LoadReader& reader, const DeferredLoadInfo& info, int64_t records, Consume&& consume) {
    const int64_t stride = info.stride;
    if (stride == 1) return ReadChunks<T>(reader, records, ChunkValues, consume);
    return ReadChunks<T>(reader, records * stride, ChunkValues / stride * stride, [&](T* values, int64_t first, int64_t n) {
        GatherComponent(values, values, n / stride, stride, info.component);
        return n % stride == 0 && consume(values, first / stride, n / stride);
    });
}

// Opens at `offset` when `records` records of the stride fit there.
bool OpenRecords(LoadReader& reader, const DeferredLoadInfo& info, int64_t offset, int64_t records) {
    if (!StrideKnown(info)) return false;
    const std::optional<int64_t> values = CheckedMul(records, info.stride);
    return values && OpenAt(reader, info, offset, *values);
}

// Widens [low, high] by values[0, n); NaN never enters it.
template <class T>
void WidenRangeEach(const T* values, int64_t n, T& low, T& high) {
    for (int64_t i = 0; i < n; ++i) {
        low = values[i] < low ? values[i] : low;
        high = high < values[i] ? values[i] : high;
    }
}

template <class T>
void WidenRange(const T* values, int64_t n, T& low, T& high) {
    WidenRangeEach(values, n, low, high);
}

#if defined(__SSE2__)
// Four lanes at a time: a compiler may not reorder a float minimum by itself.
// minps/maxps return their second operand for NaN, so NaN stays out here too.
template <>
void WidenRange(const float* values, int64_t n, float& low, float& high) {
    __m128 least = _mm_set1_ps(low);
    __m128 greatest = _mm_set1_ps(high);
    int64_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128 v = _mm_loadu_ps(values + i);
        least = _mm_min_ps(v, least);
        greatest = _mm_max_ps(v, greatest);
    }
    alignas(16) float lows[4];
    alignas(16) float highs[4];
    _mm_store_ps(lows, least);
    _mm_store_ps(highs, greatest);
    for (int lane = 0; lane < 4; ++lane) {
        low = lows[lane] < low ? lows[lane] : low;
        high = high < highs[lane] ? highs[lane] : high;
    }
    WidenRangeEach(values + i, n - i, low, high);
}
#endif

// One array (or one component of interleaved ones: measured vectors, x y z per
// node); `Range` also tells the host the values' range.
template <class T, bool Range>
bool ReadToField(const DeferredLoadInfo& info, FieldData_pa field) {
    LoadReader reader;
    if (!OpenRecords(reader, info, info.dataOffset, info.valueCount)) return false;
    // Empty to start with, so that any value widens it, the type's extremes too.
    T low = std::numeric_limits<T>::has_infinity ? std::numeric_limits<T>::infinity() : std::numeric_limits<T>::max();
    T high = std::numeric_limits<T>::has_infinity ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::lowest();
    const bool read = ReadRecords<T>(reader, info, info.valueCount, [&](T* values, int64_t first, int64_t n) {
        if constexpr (Range) WidenRange(values, n, low, high);
        return HandOver(field, first, n, values);
    });
    if (!read) return false;
    if constexpr (Range) {
        if (!(low <= high)) return true;  // no value is a number: the host finds what range there is
        HostLock lock;
        ZelUtilDataValueSetMinMaxByRef(field, low, high);
    }
    return true;
}

// Integers (iblank values) with their range.
bool ReadIntsToField(const DeferredLoadInfo& info, FieldData_pa field) { return ReadToField<int32_t, true>(info, field); }

template <bool Range>
bool ReadFloatsToField(const DeferredLoadInfo& info, FieldData_pa field) {
    return ReadToField<float, Range>(info, field);
}

constexpr float kUndefined = std::numeric_limits<float>::quiet_NaN();

void MarkUndefined(float* values, int64_t n, float marker) {
    for (int64_t i = 0; i < n; ++i) values[i] = values[i] == marker ? kUndefined : values[i];
}

// Every one of `count` positions undefined, a chunk at a time.
template <class Place>
bool PlaceUndefined(int64_t count, Place& place) {
    const int64_t chunk = std::min(count, ChunkValues);
    const ScratchArray<float> undefined(chunk);
    if (!undefined) return false;
    std::fill_n(undefined.get(), chunk, kUndefined);
    for (int64_t done = 0; done < count; done += chunk) {
        if (!place(undefined.get(), done, std::min(chunk, count - done))) return false;
    }
    return true;
}

// Each value to its 1-based index among `count` positions; consecutive
// indices go over as one run.
template <class Place>
bool PlaceListed(const DeferredLoadInfo& info, const SectionForm& form, const int32_t* indices, float* values,
                 int64_t n, int64_t count, Place& place) {
    for (int64_t i = 0; i < n;) {
        const int64_t first = indices[i];
        if (first < 1 || first > count) {
            NoteReadFailure({"Index " + std::to_string(first) + " of a partial section lies outside 1.." +
                                 std::to_string(count),
                             {info.fileName, form.offset, info.format == EncodingAscii}});
            return false;
        }
        int64_t run = 1;
        while (i + run < n && indices[i + run] == first + run && first + run <= count) ++run;
        if (!place(values + i, first - 1, run)) return false;
        i += run;
    }
    return true;
}

// The `count` positions of a section that marks undefined values, handed to
// `place`(values, first position, n); the component's values lie at `offset`.
template <class Place>
bool LoadMarkedSection(const DeferredLoadInfo& info, const SectionForm& form, int64_t offset, int64_t count,
                       Place&& place) {
    LoadReader values;
    if (info.stride != 1) return false;
    if (form.kind == SectionForm::Undef) {
        float marker = 0.0f;
        if (!OpenAt(values, info, form.offset, 1) || !values.ReadFloats(&marker, 1) ||
            !values.SeekFitting(offset, count))
            return false;
        return ReadChunks<float>(values, count, ChunkValues, [&](float* v, int64_t first, int64_t n) {
            MarkUndefined(v, n, marker);
            return place(v, first, n);
        });
    }
    const int64_t listed = form.listed;
    if (form.kind != SectionForm::Partial || listed < 0 || listed > count || !PlaceUndefined(count, place))
        return false;
    if (listed == 0) return true;
    LoadReader indices;
    if (!OpenAt(values, info, offset, listed) || !OpenAt(indices, info, form.offset, listed)) return false;
    const ScratchArray<int32_t> index(std::min(listed, ChunkValues));
    if (!index) return false;
    return ReadChunks<float>(values, listed, ChunkValues, [&](float* v, int64_t, int64_t n) {
        return indices.ReadInts(index.get(), n) && PlaceListed(info, form, index.get(), v, n, count, place);
    });
}

// Walks the nodes of an I x J x K grid in host order (i fastest).
class GridWalk {
public:
    explicit GridWalk(const std::array<int32_t, 3>& dims) : dims_(dims) {}
    int32_t index(int axis) const { return index_[axis]; }
    void Next() {
        for (int axis = 0; axis < 3; ++axis) {
            if (++index_[axis] < dims_[axis]) return;
            index_[axis] = 0;
        }
    }

private:
    std::array<int32_t, 3> dims_;
    std::array<int32_t, 3> index_{0, 0, 0};
};

// Every node takes the axis value of its index along `axis` (rectilinear and uniform blocks).
bool ExpandAxis(const DeferredLoadInfo& info, const std::vector<float>& axisValues, FieldData_pa field) {
    const int axis = info.component - 1;
    const ScratchArray<float> chunk(std::min(info.valueCount, ChunkValues));
    if (!chunk) return false;
    GridWalk walk(info.dims);
    for (int64_t done = 0; done < info.valueCount;) {
        const int64_t n = std::min(ChunkValues, info.valueCount - done);
        for (int64_t m = 0; m < n; ++m, walk.Next()) chunk[m] = axisValues[walk.index(axis)];
        if (!HandOver(field, done, n, chunk.get())) return false;
        done += n;
    }
    return true;
}

bool AxisKnown(const DeferredLoadInfo& info) {
    return info.component >= 1 && info.component <= 3 &&
           int64_t{info.dims[0]} * info.dims[1] * info.dims[2] == info.valueCount;
}

// The file holds i x values, j y values, k z values; a "range" uses entries min..max.
bool LoadRectilinear(const DeferredLoadInfo& info, FieldData_pa field) {
    if (!AxisKnown(info)) return false;
    const int axis = info.component - 1;
    const int64_t skipped = info.first[axis] - 1;
    const int64_t needed = skipped + info.dims[axis];
    LoadReader reader;
    if (skipped < 0 || !OpenAt(reader, info, info.dataOffset, needed)) return false;
    std::vector<float> values(static_cast<size_t>(needed));
    if (!reader.ReadFloats(values.data(), needed)) return false;
    values.erase(values.begin(), values.begin() + skipped);
    return ExpandAxis(info, values, field);
}

// Six reals: origin x, y, z, then spacing x, y, z; node a lies at origin + (a - 1) x spacing.
bool LoadUniform(const DeferredLoadInfo& info, FieldData_pa field) {
    if (!AxisKnown(info)) return false;
    const int axis = info.component - 1;
    LoadReader reader;
    float originAndSpacing[6];
    if (!OpenAt(reader, info, info.dataOffset, 6) || !reader.ReadFloats(originAndSpacing, 6)) return false;
    std::vector<float> values(static_cast<size_t>(info.dims[axis]));
    for (size_t a = 0; a < values.size(); ++a) {
        const double index = static_cast<double>(info.first[axis] - 1) + static_cast<double>(a);
        values[a] = static_cast<float>(originAndSpacing[axis] + index * originAndSpacing[axis + 3]);
    }
    return ExpandAxis(info, values, field);
}

// Each block starts at its element's place in the zone, whatever the variable
// file left out; a bar3 value goes to both of its segments.
bool LoadUnstructuredCells(const DeferredLoadInfo& info, FieldData_pa field) {
    LoadReader reader;
    if (!StrideKnown(info) || !reader.Open(info.fileName, info.format, info.byteOrder, 0)) return false;
    ScratchArray<float> doubled;
    for (const LoadBlock& block : info.blocks) {
        const bool twice = ZoneElementsOf(block.type, 1) == 2;
        if (twice && !(doubled = ScratchArray<float>(2 * std::min<int64_t>(block.count, ChunkValues)))) return false;
        const auto place = [&](float* values, int64_t first, int64_t n) {
            if (!twice) return HandOver(field, block.firstElement + first, n, values);
            DoubleValues(values, n, doubled.get());
            return HandOver(field, block.firstElement + 2 * first, 2 * n, doubled.get());
        };
        const bool read = block.form.kind != SectionForm::Plain
                              ? LoadMarkedSection(info, block.form, block.offset, block.count, place)
                              : reader.SeekFitting(block.offset, int64_t{block.count} * info.stride) &&
                                    ReadRecords<float>(reader, info, block.count, place);
        if (!read) return false;
    }
    return true;
}

bool LoadStructuredCells(const DeferredLoadInfo& info, FieldData_pa field) {
    if (BlockCellCount(info.dims[0], info.dims[1], info.dims[2]) != info.valueCount) return false;
    const auto place = [&](float* values, int64_t first, int64_t n) {
        return HandOverStructuredCells(field, info.dims, first, values, n);
    };
    if (info.form.kind != SectionForm::Plain)
        return LoadMarkedSection(info, info.form, info.dataOffset, info.valueCount, place);
    LoadReader reader;
    if (!OpenRecords(reader, info, info.dataOffset, info.valueCount)) return false;
    return ReadRecords<float>(reader, info, info.valueCount, place);
}

bool LoadMarkedArray(const DeferredLoadInfo& info, FieldData_pa field) {
    const auto place = [&](float* values, int64_t first, int64_t n) { return HandOver(field, first, n, values); };
    return LoadMarkedSection(info, info.form, info.dataOffset, info.valueCount, place);
}

}  // namespace

void DoubleValues(const float* values, int64_t count, float* doubled) {
    for (int64_t v = 0; v < count; ++v) doubled[2 * v] = doubled[2 * v + 1] = values[v];
}

// Cell (i, j, k) sits at i + (j - 1)·I + (k - 1)·I·J; a flat dimension has one
// cell, and a row of cells is one run.
bool HandOverStructuredCells(FieldData_pa field, const std::array<int32_t, 3>& dims, int64_t first,
                             const float* values, int64_t count) {
    const int64_t I = dims[0], J = dims[1];
    const int64_t ci = std::max<int64_t>(I - 1, 1), cj = std::max<int64_t>(J - 1, 1);
    HostLock lock;
    for (int64_t done = 0; done < count;) {
        const int64_t cell = first + done, row = cell / ci, i = cell % ci;
        const int64_t run = std::min(ci - i, count - done);
        const int64_t position = i + (row % cj) * I + (row / cj) * I * J;
        if (ZelUtilDataValueArraySetByRef(field, position + 1, run, values + done) != ZEL_TRUE) return false;
        done += run;
    }
    return true;
}

bool LoadFieldValues(const DeferredLoadInfo& info, FieldData_pa field) {
    if (info.valueCount < 1) return true;
    switch (info.kind) {
        case LoadKind::Floats:
            return info.form.kind == SectionForm::Plain ? ReadFloatsToField<false>(info, field)
                                                        : LoadMarkedArray(info, field);
        case LoadKind::StridedFloats: return ReadFloatsToField<false>(info, field);
        case LoadKind::FloatsWithRange: return ReadFloatsToField<true>(info, field);
        case LoadKind::IBlank: return ReadIntsToField(info, field);
        case LoadKind::RectilinearCoords: return LoadRectilinear(info, field);
        case LoadKind::UniformCoords: return LoadUniform(info, field);
        case LoadKind::CellValues: return LoadUnstructuredCells(info, field);
        case LoadKind::StructuredCellValues: return LoadStructuredCells(info, field);
        case LoadKind::ClassicNodeMap:
        case LoadKind::LineNodeMap:
        case LoadKind::PolygonFaceMap:
        case LoadKind::PolyhedronFaceMap: return false;
    }
    return false;
}

}  // namespace quorix

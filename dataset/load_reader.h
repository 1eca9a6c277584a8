// The reader of one deferred load: a file opened at a recorded position, with
// the size checks that keep a damaged or rewritten file from sizing memory.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "gold/ensight_reader.h"
#include "gold/page_memory.h"

namespace quorix {

// Values per read chunk (about 3 MiB of 4-byte words). A multiple of every
// line width from 1 to 16, so in ASCII files that write k values per line a
// chunk always ends at a line end.
constexpr int64_t ChunkValues = 720720;

class LoadReader {
public:
    // Opens `fileName` as C binary (0), Fortran binary (1) or ASCII (2) at
    // `offset` (in Fortran, a record's start); false when the file is gone or
    // the encoding is none of these. A read may stop inside a Fortran record.
    bool Open(const std::string& fileName, GeometryEncoding format, ByteOrder byteOrder, int64_t offset);
    // `count` values from `offset` fit before the end of the file: 4 bytes each
    // in binary, at least one character each in ASCII.
    bool Fits(int64_t offset, int64_t count) const;
    // Positions at `offset` when `count` values from there fit.
    bool SeekFitting(int64_t offset, int64_t count);
    bool ReadInts(int32_t* destination, int64_t count) { return file_.ReadInts(destination, count); }
    bool ReadFloats(float* destination, int64_t count) { return file_.ReadFloats(destination, count); }
    bool ReadParticleCoords(float* destination, int64_t count) { return file_.ReadParticleCoords(destination, count); }
    bool isBinary() const { return file_.format() != EncodingAscii; }

private:
    CFileEnsight file_;
    int64_t size_ = 0;
};

inline bool ReadValues(LoadReader& reader, float* destination, int64_t count) {
    return reader.ReadFloats(destination, count);
}
inline bool ReadValues(LoadReader& reader, int32_t* destination, int64_t count) {
    return reader.ReadInts(destination, count);
}

// Fills one reused buffer `chunk` values at a time with `read`(values, count)
// until `total`, and hands each fill to `consume`(values, index of the first, count).
template <class T, class Read, class Consume>
bool FillChunks(int64_t total, int64_t chunk, Read&& read, Consume&& consume) {
    if (total <= 0) return true;
    const ScratchArray<T> buffer(total < chunk ? total : chunk);
    if (!buffer) return false;
    for (int64_t done = 0; done < total;) {
        const int64_t n = total - done < chunk ? total - done : chunk;
        if (!read(buffer.get(), n) || !consume(buffer.get(), done, n)) return false;
        done += n;
    }
    return true;
}

// Reads `total` values from the current position, `chunk` at a time.
template <class T, class Consume>
bool ReadChunks(LoadReader& reader, int64_t total, int64_t chunk, Consume&& consume) {
    return FillChunks<T>(
        total, chunk, [&](T* values, int64_t n) { return ReadValues(reader, values, n); },
        std::forward<Consume>(consume));
}

}  // namespace quorix

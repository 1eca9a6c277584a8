// Records of one EnSight data file in ASCII, C binary or Fortran binary, with
// the text of the last failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "casefile/case_record.h"
#include "casefile/show_error.h"
#include "casefile/string_record.h"
#include "gold/file_a.h"

namespace quorix {

enum HeaderKind : int32_t {
    PartWithNumber = 0,
    Part = 1,
    Block = 2,
    NodeIdOption = 3,
    ElementIdOption = 4,
    Extents = 5,
    Coordinates = 6,
    ElementTypeHeader = 7,
    GhostFlags = 8,
    NodeIds = 9,
    ElementIds = 10,
    BinaryFormat = 11,
    ParticleCoordinates = 12,
    BeginTimeStep = 13,
    EndTimeStep = 14,
    OtherLine = 15,
    EndOfFile = 16,
    ReadFailure = 255,
};

// Part numbers (and first particle ids) of 1..65535 read so in one byte order
// only: the other order puts their low bytes high.
constexpr int32_t MaxPartNumber = 65535;

// What a part holds; a "block" line names one of the first three.
enum PartKind : int32_t {
    PartCurvilinear = 0,
    PartRectilinear = 1,
    PartUniform = 2,
    PartUnstructured = 3,
    PartParticles = 4,
};

// Block flags of a "block" line.
enum BlockFlag : int32_t { BlockIBlanked = 1, BlockWithGhost = 2, BlockRange = 4 };

// "Error when reading file " + fileName + "\n" + text, to the user; in batch
// mode the host logs it instead of showing a dialog.
void ShowReadError(const std::string& fileName, const std::string& text);

// The last failure of any reader on this thread: a load callback that only
// answers false still tells where its reader stopped.
const Failure& LastReadFailure();
void ForgetReadFailure() noexcept;
// For readers beside CFileEnsight, which notes its own failures.
void NoteReadFailure(Failure failure);

HeaderKind ClassifyHeaderLine(const char* text, int32_t& value1, int32_t& value2);

class CFileEnsight {
public:
    CFileEnsight() = default;
    CFileEnsight(const CFileEnsight&) = delete;
    CFileEnsight& operator=(const CFileEnsight&) = delete;
    virtual ~CFileEnsight();

    // Opens at a known format and byte order (deferred loaders). Recorded
    // positions in Fortran files are those of a record's leading length.
    bool Open(const std::string& path, bool isGold, GeometryEncoding format, ByteOrder byteOrder, int64_t startOffset);
    // Fortran: lets a read stop inside a record (a loader that reads part of
    // an array, or an array in pieces); the frames it crosses are still checked.
    void AllowPartialRecords() { partialRecords_ = true; }
    void Close();
    // ShowReadError with the last failure, then where it happened.
    void ReportError() const;

    // Positions are taken at record boundaries, so a seek leaves any record.
    bool Seek(int64_t offset, int origin);
    void Rewind();
    int64_t Tell() const;
    bool IsEof() const;
    int64_t FileSize() const;

    // At most 79 characters; an ASCII line shorter than that keeps its line end.
    bool ReadString80(std::string& text);
    bool ReadInts(int32_t* destination, int64_t count);
    bool ReadFloats(float* destination, int64_t count);
    bool SkipInts(int64_t count, int32_t valuesPerLine);
    bool SkipFloats(int64_t count, int32_t valuesPerLine);
    bool SkipParticles(int64_t count);
    bool ProbeParticleRecord();
    // Component-major: all x, then all y, then all z.
    bool ReadParticleCoords(float* destination, int64_t count);
    HeaderKind ReadHeader(int32_t& value1, int32_t& value2);
    HeaderKind ReadBlockHeader(int32_t& value1, int32_t& value2);
    // Reads count integers and hands them to `take` in slices of bounded size (ASCII
    // lines may straddle slices); stops with false when `take` does.
    bool ReadIntsInSlices(int64_t count, const std::function<bool(const int32_t*, int64_t)>& take);

    GeometryEncoding format() const { return format_; }
    ByteOrder byteOrder() const;
    const std::string& errorText() const { return failure_.text; }
    // A broken Fortran frame is the cause of whatever fails after it, so its
    // text stays until the reader moves (seek, rewind, open).
    void SetError(std::string text);

protected:
    // Closes, then opens `path`; on failure "Unable to open file for reading",
    // with why when known, closed by `end`.
    bool OpenPath(const std::string& path, ByteOrder byteOrder, std::string_view end);
    // Sets errorText; false, so that failures read `return Fail(...)`.
    bool Fail(const char* text);
    bool Fail(const std::string& text) { return Fail(text.c_str()); }
    int64_t BytesLeft() const;
    // False with "File format not defined" unless the file is open in a known encoding.
    bool CanRead();
    bool IsBinary() const { return format_ == EncodingCBinary || format_ == EncodingFortranBinary; }
    bool frameFault() const { return frameFault_; }
    // The byte order of the first record's Fortran frame; rewinds.
    ByteOrder FortranFrameOrder();
    // C binary: passes count words of `width` bytes; refused past the end of the file.
    bool SkipBytes(int64_t count, int64_t width);
    // A string record; `atEnd` when nothing at all could be read (the clean end of a file).
    bool ReadStringRecord(std::string& text, bool& atEnd);

    File_a* file_ = nullptr;
    GeometryEncoding format_ = EncodingUndefined;
    bool isGold_ = true;
    std::string fileName_;
    Failure failure_;  // errorText and where it happened

private:
    // The Fortran record being read.
    struct Record {
        int64_t start = 0;   // position of its leading length
        int64_t length = 0;  // bytes between its two lengths
        int64_t left = 0;    // of those, not yet passed
    };
    enum class Words { Ints, Floats, Skip };
    // Fortran: passes `count` words through as many records as they take,
    // into `destination` unless skipping; unless partial records are allowed
    // or a piecewise read is under way, the last must end with them.
    bool PassRecordWords(void* destination, int64_t count, Words words);
    bool SkipRecordWords(int64_t count);
    // Reads the next leading length, passing empty records; `atEnd` when the file ended cleanly before it.
    bool OpenRecord(bool& atEnd);
    bool CloseRecord();
    bool RecordFault(const std::string& what);
    bool EndOfArray();
    bool ReadFortranString(std::string& text, bool& atEnd);

    Record record_;
    bool frameFault_ = false;
    bool partialRecords_ = false;
    bool inPieces_ = false;

    template <class T, class Deliver>
    bool ReadBinaryChunks(T* buffer, int64_t chunk, int64_t count, Deliver& deliver);
};

}  // namespace quorix

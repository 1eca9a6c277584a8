// Opening and scanning one EnSight 6 geometry file (ASCII or C binary):
// the header, node ids, and every part's dimensions, element blocks and the
// positions of its coordinates, iblank values and connectivity.
#pragma once

#include <cstdint>
#include <string>

#include "casefile/show_error.h"
#include "ensight6/geometry_file.h"
#include "gold/file_a.h"

namespace quorix {

// Reads File_a directly, not through CFileEnsight as Gold does: that reader
// hides the encoding behind Gold's record grammar (classified header lines,
// Fortran records, one byte order settled by the first part), while an
// EnSight 6 file has integer fields of 8 and real fields of 12 characters,
// six to a line, ids inside coordinate lines, and a byte order decided by the
// first count that tells (DecideOrder). Its ASCII and C binary scans share the
// part record, the element table and the checks.
class Ensight6GeometryScanner {
public:
    // Opens `path` and determines its encoding; null with `failure` when the
    // file cannot be opened or is not recognised.
    File_a* OpenEnsight6Geometry(const std::string& path, GeometryEncoding& encoding);
    // Scans one step into `geometry` (whose path and encoding are set): the
    // whole file from `start` 0, else the step that begins at `start`. A step
    // framed by "BEGIN TIME STEP" ends at its "END TIME STEP", after which
    // the file is left. Parts scanned before a failure stay in its list.
    bool ScanEnsight6Geometry(File_a& file, Ensight6GeometryFile& geometry, int64_t start = 0);

    Failure failure;

private:
    bool Fail(std::string text);
    bool FailAt(const char* what);
    bool ReadLine(File_a& file, std::string& line);
    bool ReadDescription(File_a& file, std::string& line, const char* message);
    bool ScanAscii(File_a& file, Ensight6GeometryFile& geometry);
    bool ScanAsciiNodes(File_a& file, Ensight6GeometryFile& geometry);
    bool ScanAsciiPart(File_a& file, Ensight6GeometryFile& geometry, GeometryPart& part);
    void BeginUnstructuredPart(const Ensight6GeometryFile& geometry, GeometryPart& part) const;
    bool ScanAsciiElementBlocks(File_a& file, Ensight6GeometryFile& geometry, GeometryPart& part,
                                std::string& line, int64_t lineStart);
    bool ScanAsciiBlock(File_a& file, GeometryPart& part, std::string_view blockLine);
    bool SkipValueLines(File_a& file, int64_t values, int perLine);

    bool ScanBinary(File_a& file, Ensight6GeometryFile& geometry);
    bool ReadRecord(File_a& file, std::string& text);
    bool ReadCount(File_a& file, int32_t& value, int64_t bytesPerUnit);
    bool SkipBytes(File_a& file, int64_t bytes);
    void DecideOrder(File_a& file, int32_t raw, int64_t bytesPerUnit, int32_t& value);
    bool ScanBinaryNodes(File_a& file, Ensight6GeometryFile& geometry);
    bool ScanBinaryPart(File_a& file, Ensight6GeometryFile& geometry, GeometryPart& part);
    bool ScanBinaryElementBlocks(File_a& file, Ensight6GeometryFile& geometry, GeometryPart& part,
                                 std::string record);
    bool ScanBinaryBlock(File_a& file, GeometryPart& part, std::string_view blockRecord);

    std::string path_;
    int64_t globalNodes_ = 0;  // position of the global coordinates
    const File_a* file_ = nullptr;  // being scanned, for the place of a failure
    bool text_ = false;             // places are told as lines
    ByteOrder order_ = ByteOrderUnknown;  // until a count or block shows it
    ByteOrder WordOrder() const { return order_ == ByteOrderUnknown ? NativeByteOrder() : order_; }
    std::string line_;
};

// "block iblanked" → true; "block" → false.
bool IsIBlanked(std::string_view blockLine);

}  // namespace quorix

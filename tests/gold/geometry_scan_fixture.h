// Saves a writer's bytes and runs the geometry open and scan on them.
#pragma once

#include <string>

#include "gold/geometry_reader.h"
#include "gold/part_collection.h"
#include "support/ensight_writer.h"

namespace quorix::test {

struct GeometryScan {
    std::string path;
    bool opened = false;
    bool scanned = false;
    std::string error;
    int64_t positionAfterOpen = -1;
    GeometryEncoding format = EncodingUndefined;
    ByteOrder byteOrder = ByteOrderUnknown;
    PartCollection parts{0, 1, 0, 1};
};

inline void ScanBytes(const std::string& bytes, GeometryScan& scan, int32_t step = 0) {
    static const std::string path = TempPath("scan.geo");
    scan.path = path;
    EnsightWriter(Encoding::Ascii).Raw(bytes).Save(scan.path);
    CFileEnsightGeomGold reader;
    scan.opened = reader.Open(scan.path);
    scan.positionAfterOpen = reader.Tell();
    scan.format = reader.format();
    scan.byteOrder = reader.byteOrder();
    scan.scanned = scan.opened && reader.ScanParts(scan.parts, step);
    scan.error = reader.errorText();
}

inline int32_t OrderOf(Encoding e) { return e == Encoding::BinaryBE ? BigEndian : LittleEndian; }

}  // namespace quorix::test

namespace quorix {
using test::AllEncodings;
using test::Encoding;
using test::EncodingName;
using test::EnsightWriter;
using test::GeometryScan;
using test::ScanBytes;
}  // namespace quorix

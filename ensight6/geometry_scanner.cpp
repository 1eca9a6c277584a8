#include "ensight6/geometry_scanner.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "casefile/regular_file.h"
#include "casefile/text_lines.h"
#include "ensight6/text_fields.h"
#include "gold/ensight_reader.h"
#include "gold/page_memory.h"
#include "gold/skip_far_lines.h"

namespace quorix {
namespace {

constexpr int64_t RecordSize = StringRecordBytes;  // signed, for seeks back over one

// Negative dimensions count as the largest.
uint32_t LargestDimension(const int32_t* dims) {
    return std::max({static_cast<uint32_t>(dims[0]), static_cast<uint32_t>(dims[1]), static_cast<uint32_t>(dims[2])});
}

bool CopyDescription(GeometryPart& part, std::string_view text) {
    if (text.size() > StringRecordBytes) return false;
    std::memcpy(part.description, text.data(), text.size());
    part.description[text.size()] = '\0';
    return true;
}

std::optional<int32_t> BlockNodes(const int32_t* dims) { return BlockNodeCount(dims[0], dims[1], dims[2]); }

// EnSight 6 has every fixed-size element type, but no nsided or nfaced.
ElementType Ensight6ElementType(std::string_view name) {
    const ElementType type = ElementTypeFromName(name);
    return NodesPerElement(type) > 0 ? type : ElementNone;
}

// A step that runs into the next one lacks its "END TIME STEP".
const char* UnknownTypeText(std::string_view line) {
    return IsBeginStep(line) ? "\"BEGIN TIME STEP\" inside a step (its \"END TIME STEP\" is missing)"
                              : "unknown element type";
}

}  // namespace

bool IsIBlanked(std::string_view blockLine) {
    std::string_view rest = blockLine;
    nextToken(rest);
    return EqualsIgnoreCase(nextToken(rest), "iblanked");
}

bool Ensight6GeometryScanner::Fail(std::string text) {
    return failure.Set(std::move(text), file_ != nullptr ? ReadPlace{path_, file_->Tell(), text_} : ReadPlace{});
}

bool Ensight6GeometryScanner::FailAt(const char* what) {
    return Fail("Error reading the geometry file " + path_ + ": " + what + ".");
}

File_a* Ensight6GeometryScanner::OpenEnsight6Geometry(const std::string& path, GeometryEncoding& encoding) {
    path_ = path;
    file_ = nullptr;
    OpenFailure failure = OpenFailure::None;
    File_a* file = File_a::Open(path, "rb", BigEndian, &failure);
    if (file == nullptr) {
        Fail(CouldNotOpenText(path, failure));
        return nullptr;
    }
    char head[RecordSize + 1] = {};
    size_t got = file->Read(head, 1, RecordSize);
    std::string_view rest(head, strnlen(head, got));
    std::string_view token = nextToken(rest, "\t\r\n");
    if (got == 0) {
        File_a::Close(file);
        Fail("Unrecognized geometry file format.");
        return nullptr;
    }
    if (StartsWithIgnoreCase(token, "C Binary")) {
        encoding = EncodingCBinary;
        return file;
    }
    // Fortran writes a 4-byte record length first (8 bytes on some compilers)
    for (int64_t offset : {4, 8}) {
        char probe[RecordSize] = {};
        if (file->Seek(offset, 0) && file->Read(probe, 1, RecordSize) >= 14 &&
            StartsWithIgnoreCase(std::string_view(probe, 14), "Fortran Binary")) {
            encoding = EncodingFortranBinary;
            file->Seek(0, 0);
            return file;
        }
    }
    if (token.empty()) {
        File_a::Close(file);
        Fail("Unrecognized geometry file format.");
        return nullptr;
    }
    file->Rewind();
    encoding = EncodingAscii;
    return file;
}

bool Ensight6GeometryScanner::ScanEnsight6Geometry(File_a& file, Ensight6GeometryFile& geometry, int64_t start) {
    path_ = geometry.path;
    const bool readable = geometry.encoding == EncodingAscii || geometry.encoding == EncodingCBinary;
    file_ = readable ? &file : nullptr;
    text_ = geometry.encoding == EncodingAscii;
    order_ = ByteOrderUnknown;
    switch (geometry.encoding) {
        case EncodingFortranBinary:
            return Fail("Fortran data is not currently supported.");
        case EncodingAscii:
            if (!file.Seek(start, 0)) return FailAt("seek failed");
            return ScanAscii(file, geometry);
        case EncodingCBinary:
            // the "C Binary" mark comes once, before the first step
            if (!file.Seek(std::max<int64_t>(start, RecordSize), 0)) return FailAt("the file ends in its first record");
            return ScanBinary(file, geometry);
        default:
            return Fail("Unrecognized geometry file format.");
    }
}

// ---- ASCII ----

bool Ensight6GeometryScanner::ReadLine(File_a& file, std::string& line) {
    return file.ReadWholeLine(line, MaxLineLength);
}

bool Ensight6GeometryScanner::ReadDescription(File_a& file, std::string& line, const char* message) {
    if (!ReadLine(file, line)) return FailAt("the file ends in its header");
    if (CutLineEnd(line).size() > StringTextLength) return Fail(message);
    return true;
}

bool Ensight6GeometryScanner::SkipValueLines(File_a& file, int64_t values, int perLine) {
    int64_t lines = (values + perLine - 1) / perLine;
    if (!SkipFarLines(file, lines)) return FailAt("the file ends inside a value list");
    return true;
}

bool Ensight6GeometryScanner::ScanAscii(File_a& file, Ensight6GeometryFile& geometry) {
    static const char* const geometryMessage =
        "Invalid character string for Geometry Description.  All strings are limited to 79 characters as per "
        "EnSight documentation.";
    std::string& line = line_;
    if (!ReadDescription(file, line, geometryMessage)) return false;
    if (IsBeginStep(line) && !ReadDescription(file, line, geometryMessage)) return false;
    if (!geometry.title.Assign(CutLineEnd(line), "DataSetTitle")) return Fail("Not enough memory to load data");
    if (!ReadDescription(file, line, geometryMessage)) return false;
    if (!ReadLine(file, line)) return FailAt("the file ends in its header");
    IdOption nodeIds = IdOptionFromLine(line);
    if (!ReadLine(file, line)) return FailAt("the file ends in its header");
    IdOption elementIds = IdOptionFromLine(line);
    bool hasNodeIds = nodeIds == IdGiven || nodeIds == IdIgnore;
    bool hasElementIds = elementIds == IdGiven || elementIds == IdIgnore;
    geometry.idMode = hasNodeIds ? (hasElementIds ? IdsBoth : IdsNodeOnly) : (hasElementIds ? IdsElementOnly : IdsNone);
    if (!ReadLine(file, line)) return FailAt("the file ends in its header");  // "coordinates"
    if (!ScanAsciiNodes(file, geometry)) return false;

    while (ReadLine(file, line)) {
        std::string_view rest = line;
        if (nextToken(rest).empty()) continue;  // blank lines at the end are the end of the file
        if (IsEndStep(line)) return true;
        int32_t partNumber = 0;
        if (!ReadPartLine(line, partNumber)) return FailAt("expected a \"part\" line");
        GeometryPart* part = geometry.parts.AppendPart(partNumber);
        if (part == nullptr) return Fail("Not enough memory to load data");
        if (!ScanAsciiPart(file, geometry, *part)) return false;
    }
    if (file.HasError()) return FailAt("read error");
    return true;
}

bool Ensight6GeometryScanner::ScanAsciiNodes(File_a& file, Ensight6GeometryFile& geometry) {
    std::string& line = line_;
    int32_t nn = 0;
    if (!ReadLine(file, line) || !LeadingInt32(line, nn)) return FailAt("missing node count");
    // each node line holds at least three values
    if (!FitsIn(nn, 6, file.BytesLeft())) return FailAt("node count out of range");
    geometry.nodeCount = nn;
    geometry.byteOrder = NativeByteOrder();
    int64_t firstNode = file.Tell();
    if (!HasNodeIds(geometry.idMode)) {
        if (!SkipValueLines(file, nn, 1)) return false;
    } else {
        std::vector<int32_t> ids(static_cast<size_t>(nn));
        for (int32_t i = 0; i < nn; ++i) {
            if (!ReadLine(file, line)) return FailAt("the file ends inside the node list");
            std::string_view rest = line;
            if (!ParseInt32Token(nextToken(rest, " \t\r\n-"), ids[static_cast<size_t>(i)]))
                return FailAt("node line without an integer id");
        }
        std::string mapError;
        if (!geometry.nodeIdMap.Build(ids.data(), nn, mapError)) return FailAt(mapError.c_str());
    }
    globalNodes_ = firstNode;
    return true;
}

bool Ensight6GeometryScanner::ScanAsciiPart(File_a& file, Ensight6GeometryFile& geometry, GeometryPart& part) {
    std::string& line = line_;
    if (!ReadDescription(file, line,
                         "Invalid character string for Part Description.  All strings are limited to 79 "
                         "characters as per EnSight documentation."))
        return false;
    CopyDescription(part, CutLineEnd(line));
    int64_t lineStart = file.Tell();
    if (!ReadLine(file, line)) {
        line.clear();  // a part without blocks at the end of the file
    }
    std::string_view rest = line;
    if (EqualsIgnoreCase(nextToken(rest), "block")) {
        std::string blockLine = line;
        return ScanAsciiBlock(file, part, blockLine);
    }
    return ScanAsciiElementBlocks(file, geometry, part, line, lineStart);
}

// Every unstructured part of a file shares its global node list.
void Ensight6GeometryScanner::BeginUnstructuredPart(const Ensight6GeometryFile& geometry, GeometryPart& part) const {
    part.kind = Ensight6Unstructured;
    part.imax = geometry.nodeCount;
    part.kmax = geometry.idMode;
    part.xOffset = globalNodes_;
}

bool Ensight6GeometryScanner::ScanAsciiElementBlocks(File_a& file, Ensight6GeometryFile& geometry,
                                                     GeometryPart& part, std::string& line, int64_t lineStart) {
    BeginUnstructuredPart(geometry, part);
    for (;;) {
        std::string_view rest = line;
        std::string_view token = nextToken(rest);
        if (token.empty()) break;
        if (EqualsIgnoreCase(token, "part") || IsEndStep(line)) {
            // the part loop reads this line again
            if (!file.Seek(lineStart, 0)) return FailAt("seek failed");
            break;
        }
        const ElementType type = Ensight6ElementType(token);
        if (type == ElementNone) return FailAt(UnknownTypeText(line));
        int32_t ne = 0;
        if (!ReadLine(file, line) || !LeadingInt32(line, ne)) return FailAt("missing element count");
        if (!FitsIn(ne, 2, file.BytesLeft())) return FailAt("element count out of range");
        GeometryElementBlock* block = GeometryPartList::AppendBlock(part);
        if (block == nullptr) return Fail("Not enough memory to load data");
        block->type = type;
        block->nodesPerElement = NodesPerElement(type);
        block->elementCount = ne;
        block->offset = file.Tell();
        if (!SkipValueLines(file, ne, 1)) return false;
        lineStart = file.Tell();
        if (!ReadLine(file, line)) break;
    }
    if (!CloseUnstructuredPart(part)) return FailAt("too many elements in a part");
    return true;
}

bool Ensight6GeometryScanner::ScanAsciiBlock(File_a& file, GeometryPart& part, std::string_view blockLine) {
    std::string& line = line_;
    part.kind = Ensight6Block;
    bool iblanked = IsIBlanked(blockLine);
    int32_t dims[3] = {};
    if (!ReadLine(file, line) || !ParseIntegerLine(line, dims, 3)) return FailAt("missing block dimensions");
    const std::optional<int32_t> nodes = BlockNodes(dims);
    if (!nodes) return FailAt("block dimensions out of range");
    const int64_t n = *nodes;
    part.imax = dims[0];
    part.jmax = dims[1];
    part.kmax = dims[2];
    int64_t* offsets[3] = {&part.xOffset, &part.yOffset, &part.zOffset};
    for (int64_t* offset : offsets) {
        *offset = file.Tell();
        if (!SkipValueLines(file, n, 6)) return false;
    }
    if (iblanked) {
        part.iblankOffset = file.Tell();
        if (!SkipValueLines(file, n, 10)) return false;
    }
    return true;
}

// ---- C binary ----

bool Ensight6GeometryScanner::ReadRecord(File_a& file, std::string& text) {
    return ReadStringRecord(file, text) || FailAt("the file ends inside a record");
}

bool Ensight6GeometryScanner::SkipBytes(File_a& file, int64_t bytes) {
    if (!FitsIn(bytes, 1, file.BytesLeft())) return FailAt("an array runs past the end of the file");
    if (!file.Seek(bytes, 1)) return FailAt("seek failed");
    return true;
}

// The byte order is the one in which the count is ≥ 0 and fits in the bytes
// left; when both qualify the smaller value wins, and 0 (the same in both
// orders) leaves the order open for the next count.
void Ensight6GeometryScanner::DecideOrder(File_a& file, int32_t raw, int64_t bytesPerUnit, int32_t& value) {
    const int32_t swapped = SwappedInt32(raw);
    const auto in = [&](ByteOrder order) { return order == NativeByteOrder() ? raw : swapped; };
    if (order_ == ByteOrderUnknown) {
        const int64_t left = file.BytesLeft();
        const ByteOrder native = NativeByteOrder();
        const auto fits = [&](ByteOrder o) { return FitsIf(FitsIn(in(o), bytesPerUnit, left)); };
        const ByteOrder order = DetectByteOrder(fits, [&] { return swapped < raw ? OtherByteOrder(native) : native; });
        value = in(order == ByteOrderUnknown ? NativeByteOrder() : order);
        if (value == 0) return;
        order_ = order == ByteOrderUnknown ? NativeByteOrder() : order;
        file.SetByteOrder(order_);
    }
    value = in(order_);
}

bool Ensight6GeometryScanner::ReadCount(File_a& file, int32_t& value, int64_t bytesPerUnit) {
    int32_t raw = 0;
    if (!file.ReadBytes(&raw, 4)) return FailAt("the file ends before a count");
    DecideOrder(file, raw, bytesPerUnit, value);
    if (!FitsIn(value, bytesPerUnit, file.BytesLeft())) return FailAt("count out of range");
    return true;
}

bool Ensight6GeometryScanner::ScanBinary(File_a& file, Ensight6GeometryFile& geometry) {
    std::string text;
    if (!ReadRecord(file, text)) return false;
    if (IsBeginStep(text) && !ReadRecord(file, text)) return false;
    if (!geometry.title.Assign(text, "DataSetTitle")) return Fail("Not enough memory to load data");
    if (!ReadRecord(file, text)) return false;
    if (!ReadRecord(file, text)) return false;
    IdOption nodeIds = IdOptionFromLine(text);
    if (!ReadRecord(file, text)) return false;
    IdOption elementIds = IdOptionFromLine(text);
    bool hasNodeIds = nodeIds == IdGiven || nodeIds == IdIgnore;
    bool hasElementIds = elementIds == IdGiven || elementIds == IdIgnore;
    geometry.idMode = hasNodeIds ? (hasElementIds ? IdsBoth : IdsNodeOnly) : (hasElementIds ? IdsElementOnly : IdsNone);
    if (!ReadRecord(file, text)) return false;
    if (!StartsWithIgnoreCase(text, "coordinates")) return FailAt("expected the \"coordinates\" record");
    if (!ScanBinaryNodes(file, geometry)) return false;

    while (file.BytesLeft() > 0) {
        if (!ReadRecord(file, text)) return false;
        if (IsEndStep(text)) break;
        int32_t partNumber = 0;
        if (!ReadPartLine(text, partNumber)) return FailAt("expected a \"part\" record");
        GeometryPart* part = geometry.parts.AppendPart(partNumber);
        if (part == nullptr) return Fail("Not enough memory to load data");
        if (!ScanBinaryPart(file, geometry, *part)) return false;
    }
    geometry.byteOrder = WordOrder();
    return true;
}

bool Ensight6GeometryScanner::ScanBinaryNodes(File_a& file, Ensight6GeometryFile& geometry) {
    bool hasIds = HasNodeIds(geometry.idMode);
    int32_t nn = 0;
    if (!ReadCount(file, nn, hasIds ? 16 : 12)) return false;
    geometry.nodeCount = nn;
    if (hasIds) {
        // read straight into an uninitialised array: the ids fill it whole
        const ScratchArray<int32_t> ids(nn);
        if (!ids) return Fail("Not enough memory to load data");
        if (!file.ReadBytes(ids.get(), 4 * static_cast<size_t>(nn))) return FailAt("the file ends inside the node ids");
        if (WordOrder() != NativeByteOrder()) ReverseWords(ids.get(), static_cast<size_t>(nn));
        std::string mapError;
        if (!geometry.nodeIdMap.Build(ids.get(), nn, mapError)) return FailAt(mapError.c_str());
    }
    globalNodes_ = file.Tell();
    return SkipBytes(file, 12 * static_cast<int64_t>(nn));
}

bool Ensight6GeometryScanner::ScanBinaryPart(File_a& file, Ensight6GeometryFile& geometry, GeometryPart& part) {
    std::string text;
    char record[RecordSize];
    if (!file.ReadBytes(record, RecordSize)) return FailAt("the file ends inside a record");
    // 80 characters without a terminator are kept whole
    CopyDescription(part, StringRecordText(record, StringRecordBytes));
    if (file.BytesLeft() == 0) {
        part.kind = Ensight6Unstructured;
        part.imax = geometry.nodeCount;
        part.kmax = geometry.idMode;
        part.xOffset = globalNodes_;
        return CloseUnstructuredPart(part);
    }
    if (!ReadRecord(file, text)) return false;
    std::string_view rest = text;
    if (EqualsIgnoreCase(nextToken(rest), "block")) return ScanBinaryBlock(file, part, text);
    return ScanBinaryElementBlocks(file, geometry, part, text);
}

bool Ensight6GeometryScanner::ScanBinaryElementBlocks(File_a& file, Ensight6GeometryFile& geometry,
                                                      GeometryPart& part, std::string record) {
    BeginUnstructuredPart(geometry, part);
    for (;;) {
        std::string_view rest = record;
        std::string_view token = nextToken(rest);
        if (EqualsIgnoreCase(token, "part") || IsEndStep(record)) {
            if (!file.Seek(-RecordSize, 1)) return FailAt("seek failed");
            break;
        }
        const ElementType type = Ensight6ElementType(token);
        if (type == ElementNone) return FailAt(UnknownTypeText(record));
        int32_t npe = NodesPerElement(type);
        int64_t idWords = HasElementIds(geometry.idMode) ? 1 : 0;
        int32_t ne = 0;
        if (!ReadCount(file, ne, 4 * (npe + idWords))) return false;
        if (!SkipBytes(file, 4 * idWords * ne)) return false;
        GeometryElementBlock* block = GeometryPartList::AppendBlock(part);
        if (block == nullptr) return Fail("Not enough memory to load data");
        block->type = type;
        block->nodesPerElement = npe;
        block->elementCount = ne;
        block->offset = file.Tell();
        if (!SkipBytes(file, 4 * static_cast<int64_t>(npe) * ne)) return false;
        if (file.BytesLeft() == 0) break;
        if (!ReadRecord(file, record)) return false;
    }
    if (!CloseUnstructuredPart(part)) return FailAt("too many elements in a part");
    return true;
}

bool Ensight6GeometryScanner::ScanBinaryBlock(File_a& file, GeometryPart& part, std::string_view blockRecord) {
    part.kind = Ensight6Block;
    bool iblanked = IsIBlanked(blockRecord);
    int32_t raw[3] = {};
    if (!file.ReadBytes(raw, sizeof raw)) return FailAt("the file ends before the block dimensions");
    int64_t left = file.BytesLeft();
    int64_t wordsPerNode = iblanked ? 4 : 3;
    auto fits = [&](const int32_t* d) {
        const std::optional<int32_t> n = BlockNodes(d);
        return n && FitsIn(*n, 4 * wordsPerNode, left);
    };
    int32_t swapped[3] = {SwappedInt32(raw[0]), SwappedInt32(raw[1]), SwappedInt32(raw[2])};
    const auto in = [&](ByteOrder order) { return order == NativeByteOrder() ? raw : swapped; };
    if (order_ == ByteOrderUnknown && (raw[0] | raw[1] | raw[2]) != 0) {
        // An empty block (a zero dimension) fits in either order: then the
        // order with the smaller dimensions wins, as it does for counts.
        const ByteOrder native = NativeByteOrder();
        const ByteOrder order = DetectByteOrder([&](ByteOrder o) { return FitsIf(fits(in(o))); }, [&] {
            return LargestDimension(swapped) < LargestDimension(raw) ? OtherByteOrder(native) : native;
        });
        order_ = order == ByteOrderUnknown ? NativeByteOrder() : order;
        file.SetByteOrder(order_);
    }
    const int32_t* dims = in(WordOrder());
    if (!fits(dims)) return FailAt("block dimensions out of range");
    const int64_t n = *BlockNodes(dims);
    part.imax = dims[0];
    part.jmax = dims[1];
    part.kmax = dims[2];
    part.xOffset = file.Tell();
    part.yOffset = part.xOffset + 4 * n;
    part.zOffset = part.xOffset + 8 * n;
    if (iblanked) part.iblankOffset = part.xOffset + 12 * n;
    return SkipBytes(file, 4 * wordsPerNode * n);
}

}  // namespace quorix

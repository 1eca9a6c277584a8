#include "gold/geometry_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "casefile/ascii_case.h"
#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "casefile/text_lines.h"
#include "casefile/text_number.h"
#include "gold/ascii_fields.h"
#include "gold/departure_notes.h"
#include "gold/step_tally.h"

namespace quorix {
namespace {

constexpr const char* TextUnknownFormat = "Unable to determine file format - possible unsupported type";
constexpr const char* TextNoElements = "Read error - no elements found after part header.";
constexpr const char* TextUnstructured = "error when scanning unstructured element";
constexpr const char* TextStructured = "error when scanning structured block";
constexpr const char* TextUndefinedBlock = "Undefined block type";
constexpr int64_t WordBytes = 4;
// A C binary particle: its id and its x y z.
constexpr int64_t ParticleBytes = 4 * WordBytes;
// The first part header must come within this many header records.
constexpr int HeadersBeforeFirstPart = 10;

}  // namespace

bool CFileEnsightGeomGold::Open(const std::string& path) {
    format_ = EncodingUndefined;
    if (!OpenPath(path, NativeByteOrder(), ".")) return false;
    // A short ASCII file may hold fewer than 80 bytes in all; a Fortran
    // file's first string follows its record length.
    char first[4 + StringRecordBytes];
    size_t got = file_->Read(first, 1, sizeof first);
    auto textFrom = [&](size_t start) {
        const char* begin = first + std::min(start, got);
        const char* end = first + std::min(start + StringRecordBytes, got);
        return std::string_view(begin, std::find(begin, end, '\0') - begin);
    };
    if (ContainsIgnoreCase(textFrom(0), "c binary")) format_ = EncodingCBinary;
    else if (ContainsIgnoreCase(textFrom(4), "fortran binary")) format_ = EncodingFortranBinary;
    else if (ContainsIgnoreCase(textFrom(0), "fortran binary")) format_ = EncodingFortranBinary;
    else format_ = EncodingAscii;
    if (got == 0 || !FindFirstPart()) {
        // A broken Fortran frame keeps its own text and place; otherwise the
        // whole file is at fault, at no place in particular.
        if (!frameFault()) Close();
        Fail(TextUnknownFormat);
        Close();
        format_ = EncodingUndefined;
        return false;
    }
    return true;
}

// Walks the file header in one byte order up to the first part or particle
// section, noting the id options on the way.
CFileEnsightGeomGold::FirstSection CFileEnsightGeomGold::LocateFirstSection(ByteOrder byteOrder) {
    FirstSection section;
    Rewind();
    file_->SetByteOrder(byteOrder);
    for (int i = 0; i < HeadersBeforeFirstPart; ++i) {
        int64_t position = Tell();
        int32_t value1 = 0;
        int32_t value2 = 0;
        HeaderKind kind = ReadBlockHeader(value1, value2);
        NoteIdOption(kind, value1);
        if (kind == Extents && !SkipFloats(6, 2)) break;
        if (kind == Part || kind == ParticleCoordinates) {
            section = {true, kind, position, value2};
            break;
        }
        if (kind == EndOfFile) break;
    }
    return section;
}

// The classic test: a first part number of 1..65535 reads so in one byte order
// only; a particle section is judged by its first id. A number that passes
// while the next count does not fit (65536 written little-endian reads as 256
// big-endian) is no proof. Part number 0 (or above 65535) reads alike in both
// orders: the order in which the next count is non-negative and fits in the
// rest of the file decides, this machine's when both do.
OrderEvidence CFileEnsightGeomGold::JudgeOrder(ByteOrder byteOrder) {
    const FirstSection section = LocateFirstSection(byteOrder);
    if (!CountsFit(section, byteOrder)) return OrderEvidence::Refuted;
    bool proof = false;
    if (section.kind == Part) {
        proof = section.number >= 1 && section.number <= MaxPartNumber;
    } else {
        Seek(section.position, 0);
        int32_t value1 = 0;
        int32_t count = 0;
        proof = ReadBlockHeader(value1, count) == ParticleCoordinates && ProbeParticleRecord();
    }
    return proof ? OrderEvidence::Proof : OrderEvidence::Fits;
}

bool CFileEnsightGeomGold::CountsFit(const FirstSection& section, ByteOrder byteOrder) {
    if (!section.found || section.number < 0) return false;
    file_->SetByteOrder(byteOrder);
    if (!Seek(section.position, 0)) return false;
    int32_t value1 = 0;
    int32_t count = 0;
    if (ReadBlockHeader(value1, count) == ParticleCoordinates) return FitsIn(count, ParticleBytes, BytesLeft());
    std::string description;
    if (!ReadString80(description)) return false;
    HeaderKind kind = ReadBlockHeader(value1, count);
    if (kind == Coordinates) return FitsIn(count, 3 * WordBytes, BytesLeft());
    if (kind == ElementTypeHeader) return FitsIn(count, WordBytes, BytesLeft());
    // Any other section carries no count, so it holds no evidence against the order.
    if (kind != Block) return kind != ReadFailure;
    int32_t dims[3];
    if (!ReadInts(dims, 3)) return false;
    if (dims[0] < 0 || dims[1] < 0 || dims[2] < 0) return false;
    int64_t left = BytesLeft();
    if (value1 == PartRectilinear) return FitsIn(int64_t{dims[0]} + dims[1] + dims[2], WordBytes, left);
    if (value1 == PartUniform) return FitsIn(6, WordBytes, left);
    const std::optional<int64_t> nodes = CheckedMul(int64_t{dims[0]} * dims[1], dims[2]);
    return nodes && FitsIn(*nodes, 3 * WordBytes, left);
}

void CFileEnsightGeomGold::NoteIdOption(HeaderKind kind, int32_t option) {
    const bool present = option == IdGiven || option == IdIgnore;
    if (kind == NodeIdOption) nodeIdsPresent = present;
    if (kind == ElementIdOption) elementIdsPresent = present;
}

bool CFileEnsightGeomGold::FindFirstPart() {
    ByteOrder order = ByteOrderUnknown;
    if (format_ == EncodingCBinary) {
        order = DetectByteOrder([this](ByteOrder o) { return JudgeOrder(o); }, [] { return NativeByteOrder(); });
    } else if (format_ == EncodingFortranBinary) {
        order = FortranFrameOrder();  // the frames show the order
    } else if (format_ == EncodingAscii) {
        order = OtherByteOrder(NativeByteOrder());  // text has none
    }
    if (order == ByteOrderUnknown) return false;
    // Text and Fortran take any part number from 0 on.
    const FirstSection section = LocateFirstSection(order);
    if (!section.found || section.number < 0) return false;
    emptyFirstLine_ = format_ == EncodingAscii && EmptyLineBeforeDescriptions();
    return Seek(section.position, 0);
}

// A textbook FE program writes an empty line before its two description lines.
// The header's lines stand in a fixed order (two descriptions, the node id
// line, the element id line), so in a valid file the fourth line is the element
// id line, whatever its descriptions say (empty, or reading like a keyword).
// The empty line came first when line 1 is empty, line 4 is no element id line
// and line 5 is one. The id lines count wherever they stand, so this rule only
// decides what the user is told.
bool CFileEnsightGeomGold::EmptyLineBeforeDescriptions() {
    Rewind();
    std::string lines[5];
    for (std::string& line : lines) {
        if (!ReadString80(line)) return false;
    }
    auto isElementIdLine = [](const std::string& line) {
        int32_t value1 = 0;
        int32_t value2 = 0;
        return ClassifyHeaderLine(line.c_str(), value1, value2) == ElementIdOption;
    };
    return lines[0].find_first_not_of(LineBlanks) == std::string::npos && !isElementIdLine(lines[3]) &&
           isElementIdLine(lines[4]);
}

bool CFileEnsightGeomGold::ScanParts(PartCollection& collection, int32_t step) {
    if (file_ == nullptr) return Fail("File has not been opened");
    StepTally steps(step + 1);
    stepsScanned_ = 0;
    for (;;) {
        int32_t value1 = 0;
        int32_t value2 = 0;
        HeaderKind kind = ReadBlockHeader(value1, value2);
        switch (kind) {
            case EndOfFile:
                stepsScanned_ = steps.Count();
                return true;
            case ReadFailure:
                return false;
            case EndTimeStep:
                if (!steps.End()) return Fail("Too many time steps in one file");
                break;
            case BeginTimeStep: {
                // Each step repeats the file header; its first description is free text.
                std::string description;
                if (!ReadString80(description)) return false;
                break;
            }
            case NodeIdOption:
            case ElementIdOption:
                NoteIdOption(kind, value1);
                break;
            case Extents:
                // Its six values are passed over, so they are not taken for headers.
                if (!SkipFloats(6, 2)) return false;
                break;
            case Part:
                if (!ScanPart(collection, value2, steps.current())) return false;
                steps.Data();
                break;
            case ParticleCoordinates: {
                const int32_t timeStep = steps.current();
                if (collection.HasPartInStep(ParticlePartNumber, timeStep)) {
                    return Fail("Two particle sections in one time step of file " + fileName_);
                }
                PartInfo& part = collection.AddPart(ParticlePartNumber, timeStep);
                part.fileName = fileName_;
                part.byteOrder = byteOrder();
                part.format = format_;
                if (!ScanParticles(part, value2)) return false;
                steps.Data();
                break;
            }
            default:
                break;  // descriptions and other lines between parts
        }
    }
}

bool CFileEnsightGeomGold::ScanPart(PartCollection& collection, int32_t partNumber, int32_t step) {
    std::string number = std::to_string(partNumber);
    if (partNumber < 0) return Fail("Part number " + number + " is negative in file " + fileName_);
    // Two zones of one strand at one time could not be told apart.
    if (collection.HasPartInStep(partNumber, step)) {
        return Fail("Part " + number + " appears twice in one time step of file " + fileName_);
    }
    PartInfo& part = collection.AddPart(partNumber, step);
    part.fileName = fileName_;
    part.byteOrder = byteOrder();
    part.format = format_;
    if (!ReadString80(part.name)) return false;
    int32_t value1 = 0;
    int32_t value2 = 0;
    HeaderKind kind = ReadBlockHeader(value1, value2);
    if (kind == Block) return ScanStructuredBlock(part, static_cast<PartKind>(value1), value2);
    if (kind == Coordinates || kind == ElementTypeHeader) return ScanUnstructured(part, kind, value1, value2);
    return Fail(TextNoElements);
}

bool CFileEnsightGeomGold::ScanUnstructured(PartInfo& part, HeaderKind kind, int32_t value1, int32_t value2) {
    part.kind = PartUnstructured;
    part.imax = 0;
    part.jmax = 0;
    ElementCategoryCode category = CategoryPoint;
    bool ok = true;
    for (;;) {
        ok = kind == Coordinates ? ScanCoordinates(part, value2)
                                  : ScanElementBlock(part, static_cast<ElementType>(value1), value2, category);
        if (!ok) break;
        int64_t position = Tell();
        kind = ReadBlockHeader(value1, value2);
        if (kind == Coordinates || kind == ElementTypeHeader) continue;
        // Whatever follows belongs to the part loop, which reads it again.
        ok = Seek(position, 0);
        break;
    }
    part.category = category;
    ok = ClosePart(part) && ok;
    return ok || Fail(TextUnstructured);
}

bool CFileEnsightGeomGold::ScanCoordinates(PartInfo& part, int32_t nodeCount) {
    if (nodeCount < 0) return false;
    part.nodeCount = part.imax = nodeCount;
    const bool mayLackIds = nodeIdsPresent && format_ == EncodingAscii && nodeCount > 0;
    if (nodeIdsPresent && !mayLackIds && !SkipInts(nodeCount, 1)) return false;
    // Where x, y and z begin when there are no ids, and where the section then ends.
    int64_t starts[4] = {Tell()};
    for (int i = 1; i < 4; ++i) {
        if (!SkipFloats(nodeCount, 1)) return false;
        starts[i] = Tell();
    }
    const bool idsRead = mayLackIds && !IdsMissing(starts[0], starts[3], 0);
    nodeIdsMissing_ = nodeIdsMissing_ || (mayLackIds && !idsRead);
    const int shift = idsRead ? 1 : 0;
    part.xOffset = starts[shift];
    part.yOffset = starts[shift + 1];
    part.zOffset = starts[shift + 2];
    return !idsRead || SkipFloats(nodeCount, 1);
}

// "node id given" or "element id given" over sections without ids (a textbook
// FE program writes that header). Read as if it had none, a section with ids
// stops short: n x, y or z values (n connectivity lines) remain, so the line
// after it is a value line, never a keyword. The ids are missing when that line
// is a keyword. At the end of the file, which a file cut after its ids reaches
// as well, the section's first line must also be unable to be an id: a
// coordinate that is no integer, or a connectivity line of two or more nodes
// (a point element's one node reads like an id, so its ids are then kept).
bool CFileEnsightGeomGold::IdsMissing(int64_t first, int64_t end, int32_t nodesPerElement) {
    int32_t value1 = 0;
    int32_t value2 = 0;
    const HeaderKind next = ReadHeader(value1, value2);
    bool missing = next != OtherLine && next != ReadFailure && next != EndOfFile;
    if (next == EndOfFile) missing = FirstLineCannotBeId(first, nodesPerElement);
    // A failed seek leaves the reader where the next read fails.
    Seek(end, 0);
    return missing;
}

bool CFileEnsightGeomGold::FirstLineCannotBeId(int64_t first, int32_t nodesPerElement) {
    std::string_view line;
    if (!Seek(first, 0) || !file_->NextLine(line, MaxLineLength)) return false;
    const std::string_view data = DataPart(line);
    int32_t integer = 0;
    if (nodesPerElement == 0) {
        float real = 0.0f;
        return ConvertRealLine(data, &real, 1) == 1 && ConvertIntLine(data, GoldIntWidth, &integer, 1) != 1;
    }
    return nodesPerElement >= 2 && ConvertIntLine(data, GoldIntWidth, &integer, 1) == nodesPerElement;
}

bool CFileEnsightGeomGold::ScanElementBlock(PartInfo& part, ElementType type, int32_t count, ElementCategoryCode& category) {
    if (count < 0) return false;
    category = std::max(category, ElementCategory(type));
    const bool polytope = type == ElementNsided || type == ElementNfaced;
    // Polygon and polyhedron sizes read like ids, so those keep theirs.
    const bool mayLackIds = elementIdsPresent && format_ == EncodingAscii && !polytope && count > 0;
    if (elementIdsPresent && !mayLackIds && !SkipInts(count, 1)) return false;
    ElementBlockInfo& block = part.blocks.emplace_back();
    block.offset = Tell();
    block.type = type;
    block.nodesPerElement = NodesPerElement(type);
    block.elementCount = count;
    if (polytope) {
        int64_t faces = count;
        if (type == ElementNfaced && !SumSizes(count, faces)) return false;
        int64_t nodes = 0;
        if (!SumSizes(faces, nodes)) return false;
        block.faceCount = type == ElementNfaced ? static_cast<int32_t>(faces) : 0;
        block.nodeCount = static_cast<int32_t>(nodes);
        return SkipInts(nodes, 0);
    }
    const int32_t perElement = block.nodesPerElement;
    const int64_t values = int64_t{perElement} * count;
    if (!IsCount32(values) || !SkipInts(values, perElement)) return false;
    if (!mayLackIds) return true;
    const int64_t end = Tell();
    if (IdsMissing(block.offset, end, perElement)) {
        elementIdsMissing_ = true;
        return true;
    }
    block.offset = end;  // the lines passed were the ids
    return SkipInts(values, perElement);
}

// Adds up `count` sizes read in slices, so a huge count allocates nothing big.
// A slice is judged as a whole: a loop without an early exit vectorises, and a
// slice of int32 values cannot overflow the int64 sum.
bool CFileEnsightGeomGold::SumSizes(int64_t count, int64_t& sum) {
    sum = 0;
    return ReadIntsInSlices(count, [&sum](const int32_t* sizes, int64_t n) {
        int32_t least = 0;
        for (int64_t i = 0; i < n; ++i) {
            least = std::min(least, sizes[i]);
            sum += sizes[i];
        }
        return least >= 0 && IsCount32(sum);
    });
}

bool CFileEnsightGeomGold::ScanStructuredBlock(PartInfo& part, PartKind structure, int32_t flags) {
    part.kind = structure;
    int64_t nodes = 0;
    int64_t cells = 0;
    if (!ReadBlockDimensions(part, flags, nodes, cells)) return false;
    if (structure < PartCurvilinear || structure > PartUniform) return Fail(TextUndefinedBlock);
    if (!ScanBlockCoordinates(part, nodes)) return false;
    if ((flags & BlockIBlanked) != 0) {
        part.iblankOffset = Tell();
        if (!SkipInts(nodes, 1)) return false;
    }
    if ((flags & BlockWithGhost) != 0 &&
        !SkipLabelledSection(GhostFlags, "Expected 'ghost_flags' header not found", cells)) {
        return false;
    }
    // Some writers state ids in the header yet write none after blocks.
    return (!nodeIdsPresent || SkipOptionalIds(NodeIds, nodes)) &&
           (!elementIdsPresent || SkipOptionalIds(ElementIds, cells));
}

bool CFileEnsightGeomGold::SkipOptionalIds(HeaderKind label, int64_t count) {
    const int64_t position = Tell();
    int32_t value1 = 0;
    int32_t value2 = 0;
    if (ReadBlockHeader(value1, value2) == label) return SkipInts(count, 1);
    return Seek(position, 0);
}

bool CFileEnsightGeomGold::ReadBlockDimensions(PartInfo& part, int32_t flags, int64_t& nodes, int64_t& cells) {
    int32_t dims[3];
    if (!ReadInts(dims, 3)) return false;
    if (dims[0] < 0 || dims[1] < 0 || dims[2] < 0) return Fail(TextStructured);
    part.rectI = dims[0];
    part.rectJ = dims[1];
    part.rectK = dims[2];
    int64_t sizes[3] = {dims[0], dims[1], dims[2]};
    if ((flags & BlockRange) != 0) {
        int32_t range[6];
        if (!ReadInts(range, 6)) return false;
        for (int d = 0; d < 3; ++d) {
            int32_t low = range[2 * d];
            int32_t high = range[2 * d + 1];
            if (low < 1 || high < low) return Fail(TextStructured);
            sizes[d] = int64_t{high} - low + 1;
        }
        part.rangeIMin = range[0];
        part.rangeJMin = range[2];
        part.rangeKMin = range[4];
    }
    const std::optional<int32_t> nodeCount = BlockNodeCount(sizes[0], sizes[1], sizes[2]);
    if (!nodeCount) return Fail(TextStructured);
    nodes = *nodeCount;
    cells = *BlockCellCount(sizes[0], sizes[1], sizes[2]);
    part.imax = static_cast<int32_t>(sizes[0]);
    part.jmax = static_cast<int32_t>(sizes[1]);
    part.kmax = static_cast<int32_t>(sizes[2]);
    part.nodeCount = static_cast<int32_t>(nodes);
    part.elementCount = static_cast<int32_t>(cells);
    return true;
}

bool CFileEnsightGeomGold::ScanBlockCoordinates(PartInfo& part, int64_t nodes) {
    part.xOffset = Tell();
    if (part.kind == PartUniform) {
        // Origin x, y, z then spacing x, y, z; the offsets name the origin values.
        // Fortran writers put the six in one record or in several: the loader
        // reads all six from the first.
        if (IsBinary()) {
            const bool words = format_ == EncodingCBinary;
            part.yOffset = part.xOffset + (words ? 4 : 0);
            part.zOffset = part.xOffset + (words ? 8 : 0);
            return SkipFloats(6, 1);
        }
        if (!SkipFloats(1, 1)) return false;
        part.yOffset = Tell();
        if (!SkipFloats(1, 1)) return false;
        part.zOffset = Tell();
        return SkipFloats(4, 1);
    }
    bool rectilinear = part.kind == PartRectilinear;
    if (!SkipFloats(rectilinear ? part.rectI : nodes, 1)) return false;
    part.yOffset = Tell();
    if (!SkipFloats(rectilinear ? part.rectJ : nodes, 1)) return false;
    part.zOffset = Tell();
    return SkipFloats(rectilinear ? part.rectK : nodes, 1);
}

bool CFileEnsightGeomGold::SkipLabelledSection(HeaderKind expected, const char* missingText, int64_t count) {
    int32_t value1 = 0;
    int32_t value2 = 0;
    if (ReadBlockHeader(value1, value2) != expected) return Fail(missingText);
    return SkipInts(count, 1);
}

bool CFileEnsightGeomGold::ScanParticles(PartInfo& part, int32_t count) {
    if (count < 0 || (format_ == EncodingCBinary && !FitsIn(count, ParticleBytes, BytesLeft()))) {
        return Fail("Particle count " + std::to_string(count) + " does not fit in the file");
    }
    part.kind = PartParticles;
    part.category = CategoryPoint;
    part.nodeCount = part.imax = count;
    part.jmax = part.kmax = 1;
    part.xOffset = Tell();
    return SkipParticles(count);
}

std::string CFileEnsightGeomGold::DeparturesText() const {
    std::string items;
    if (emptyFirstLine_) items += "\n- an empty line before the description lines";
    if (nodeIdsMissing_) items += "\n- node ids declared but none in the file";
    if (elementIdsMissing_) items += "\n- element ids declared but none in the file";
    return quorix::DeparturesText("geometry", fileName_, items);
}

}  // namespace quorix

// Per-node and per-element Gold variable files: detection and scan. The scan
// converts no values: C binary seeks, ASCII passes lines.
#include "gold/variable_reader.h"

#include <algorithm>
#include <array>
#include <optional>

#include "casefile/ascii_case.h"
#include "casefile/text_number.h"
#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "casefile/text_lines.h"
#include "casefile/text_number.h"
#include "gold/departure_notes.h"
#include "gold/step_tally.h"
#include "gold/value_plausibility.h"

namespace quorix {
namespace {

constexpr const char* kUnreadable = "Unable to read data.\nPossible unsupported format or empty file.";
constexpr const char* kNodeScanFailure = "Failure during variable data scan";
constexpr const char* kElementScanFailure = "Failure during scan of variable data";
constexpr int32_t kMaxComponents = 9;

bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == '\0' || LineBlanks.find(c) != std::string_view::npos; });
}

// "coordinates undef", "hexa8 partial", "block undef": the last word is the
// section's form, cut off so that the rest reads as the plain header.
SectionForm::Kind TakeSectionForm(std::string& text) {
    const size_t end = text.find_last_not_of(LineBlanks);
    if (end == std::string::npos) return SectionForm::Plain;
    const size_t blank = text.find_last_of(" \t", end);
    if (blank == std::string::npos) return SectionForm::Plain;
    std::string word = text.substr(blank + 1, end - blank);
    for (char& c : word) c = AsciiLower(c);
    const SectionForm::Kind form =
        word == "undef" ? SectionForm::Undef : word == "partial" ? SectionForm::Partial : SectionForm::Plain;
    if (form != SectionForm::Plain) text.resize(blank);
    return form;
}

bool IsSectionHeader(HeaderKind kind) { return kind == Coordinates || kind == Block || kind == ElementTypeHeader; }

// Nothing to hold at this step: per node a part of no nodes, per element one
// of no elements.
bool HoldsNoValues(const PartInfo& part, bool nodal) {
    if (nodal || part.kind != PartUnstructured) return part.nodeCount == 0;
    return std::all_of(part.blocks.begin(), part.blocks.end(),
                       [](const ElementBlockInfo& block) { return block.elementCount == 0; });
}

// The k-th block of `type` in file order (k from 0), so that a part holding
// tria3 and g_tria3 blocks gets each section matched to its own block.
const ElementBlockInfo* NthBlockOfType(const PartInfo& part, ElementType type, int32_t k) {
    for (const ElementBlockInfo& block : part.blocks) {
        if (block.type == type && k-- == 0) return &block;
    }
    return nullptr;
}

}  // namespace

bool CFileEnsightVarGold::OpenFile(const std::string& path, ByteOrder byteOrder) {
    format_ = EncodingUndefined;
    return OpenPath(path, byteOrder, ".");
}

HeaderKind CFileEnsightVarGold::NextRecord(std::string& text, int32_t& value1, int32_t* partNumber,
                                           SectionForm::Kind* form) {
    bool atEnd = false;
    value1 = -1;
    do {
        if (!ReadStringRecord(text, atEnd)) return atEnd ? EndOfFile : ReadFailure;
    } while (format_ == EncodingAscii && IsBlank(text));
    if (form != nullptr) *form = TakeSectionForm(text);
    int32_t value2 = -1;
    HeaderKind kind = ClassifyHeaderLine(text.c_str(), value1, value2);
    if (form != nullptr && *form != SectionForm::Plain && !IsSectionHeader(kind)) return OtherLine;
    if (kind == Part && partNumber != nullptr && !ReadInts(partNumber, 1)) return ReadFailure;
    return kind;
}

// A part empty at a step may stand with its number alone, up to the next
// part, the end of the step or of the file.
bool CFileEnsightVarGold::SectionIsBare() {
    std::string text;
    int32_t unused = -1;
    const int64_t position = Tell();
    const HeaderKind next = NextRecord(text, unused, nullptr);
    return Seek(position, 0) && (next == Part || next == EndTimeStep || next == EndOfFile);
}

// The description (after an optional "BEGIN TIME STEP") is free text and is
// never classified; the record after it must be "part". A file holding several
// steps may open with a format line; one that reads "C Binary" and is followed
// by "part" is the description itself.
bool CFileEnsightVarGold::TryFirstPart(int32_t& partNumber, int64_t& partPosition) {
    std::string text;
    int32_t value1 = -1;
    int32_t value2 = -1;
    if (!ReadString80(text)) return false;
    HeaderKind kind = ClassifyHeaderLine(text.c_str(), value1, value2);
    if (kind == BinaryFormat && IsBinary()) {
        const int64_t afterFormat = Tell();
        if (!ReadString80(text)) return false;
        kind = ClassifyHeaderLine(text.c_str(), value1, value2);
        if (kind == Part && !Seek(afterFormat, 0)) return false;
    }
    if (kind == BeginTimeStep && !ReadString80(text)) return false;
    partPosition = Tell();
    return partPosition >= 0 && NextRecord(text, value1, &partNumber) == Part;
}

// Part number 0 reads the same in both orders: take the geometry's order for
// that part, else the order in which the first values look like real numbers.
ByteOrder CFileEnsightVarGold::OrderOfPartZero(const PartCollection& geometry) {
    const PartInfo* part = geometry.FindPart(0);
    if (part != nullptr && part->format == EncodingCBinary &&
        (part->byteOrder == LittleEndian || part->byteOrder == BigEndian)) {
        return part->byteOrder;
    }
    constexpr int64_t kTestWords = 8;
    unsigned char bytes[4 * kTestWords];
    std::string sectionHeader;
    if (!ReadString80(sectionHeader)) return LittleEndian;
    const int64_t words = std::min(kTestWords, (FileSize() - Tell()) / 4);
    if (words <= 0 || !file_->ReadBytes(bytes, static_cast<size_t>(words) * 4)) return LittleEndian;
    return OrderOfValues(bytes, words, LittleEndian);
}

// Fortran binary when the first record is framed so, then C binary, then
// ASCII: the first reading that finds a "part" line with a plausible number
// wins.
bool CFileEnsightVarGold::Open(const std::string& path, const PartCollection& geometry) {
    if (!OpenFile(path, BigEndian)) return false;
    int64_t partPosition = -1;
    // A part number of 1..65535 reads so in one byte order only; 0 reads alike in both.
    auto firstPart = [&](GeometryEncoding format, ByteOrder order) {
        Rewind();
        file_->SetByteOrder(order);
        format_ = format;
        int32_t partNumber = -1;
        if (!TryFirstPart(partNumber, partPosition)) return OrderEvidence::Refuted;
        if (format != EncodingCBinary) return partNumber >= 0 ? OrderEvidence::Proof : OrderEvidence::Refuted;
        if (partNumber == 0) return OrderEvidence::Fits;
        return partNumber >= 1 && partNumber <= MaxPartNumber ? OrderEvidence::Proof : OrderEvidence::Refuted;
    };
    const ByteOrder fortranOrder = FortranFrameOrder();
    if (fortranOrder != ByteOrderUnknown && firstPart(EncodingFortranBinary, fortranOrder) == OrderEvidence::Proof &&
        Seek(partPosition, 0)) {
        return true;
    }
    const ByteOrder order = DetectByteOrder([&](ByteOrder o) { return firstPart(EncodingCBinary, o); },
                                            [&] { return OrderOfPartZero(geometry); });
    if (order != ByteOrderUnknown && firstPart(EncodingCBinary, order) != OrderEvidence::Refuted &&
        Seek(partPosition, 0)) {
        return true;
    }
    if (firstPart(EncodingAscii, LittleEndian) == OrderEvidence::Proof && Seek(partPosition, 0)) return true;
    Close();
    format_ = EncodingUndefined;
    return Fail(kUnreadable);
}

bool CFileEnsightVarGold::RecordComponents(TypeVariableInfo& info, int32_t components, int64_t count) {
    for (int32_t k = 0; k < components; ++k) {
        info.componentOffset[k] = Tell();
        if (info.componentOffset[k] < 0 || !SkipFloats(count, 1)) return false;
    }
    return PassExtraComponents(components, count);
}

// A textbook FE program writes every degree of freedom of a node into a
// "vector" file: four blocks of n values where the vector has three. In a valid
// file a keyword line or the end of the file follows a section's last
// component, so value lines there are always a departure: they are passed over
// when they make whole blocks of the section's count followed by a keyword or
// the end (at most as many as fill nine components). Anything else is left for
// the scan to fail on, as before. ASCII only: a binary file shows no lines.
bool CFileEnsightVarGold::PassExtraComponents(int32_t components, int64_t count) {
    if (format_ != EncodingAscii || count == 0) return true;
    const int64_t end = Tell();
    int32_t extra = 0;
    while (StartsValueLine()) {
        if (components + extra == kMaxComponents || !SkipFloats(count, 1)) return Seek(end, 0);
        ++extra;
    }
    std::string text;
    int32_t unused = -1;
    const int64_t position = Tell();
    const HeaderKind next = NextRecord(text, unused, nullptr);
    if (extra == 0 || next == OtherLine || next == ReadFailure) return Seek(end, 0);
    extraComponents_ = true;
    return Seek(position, 0);
}

// Whether the next line starts with a number; the position stays.
bool CFileEnsightVarGold::StartsValueLine() {
    const int64_t position = Tell();
    std::string_view line;
    const bool values = file_->NextLine(line, MaxLineLength) && ParseReal(line.data(), line.data() + line.size()).ok;
    return Seek(position, 0) && values;
}

std::string CFileEnsightVarGold::DeparturesText() const {
    const char* item = "\n- more blocks of values than the variable has components (passed over)";
    return quorix::DeparturesText("variable", fileName_, extraComponents_ ? item : "");
}

// Undef: the marker comes first; partial: the count n and n indices, then n
// values per component. The loaders read marker and indices.
bool CFileEnsightVarGold::RecordSection(TypeVariableInfo& info, SectionForm::Kind form, int32_t components,
                                        int32_t count) {
    info.form.kind = form;
    int32_t values = count;
    if (form == SectionForm::Undef) {
        info.form.offset = Tell();
        if (info.form.offset < 0 || !SkipFloats(1, 1)) return false;
    } else if (form == SectionForm::Partial) {
        if (!ReadInts(&values, 1)) return false;
        if (values < 0 || values > count) {
            return Fail("Partial section lists " + std::to_string(values) + " values, not 0 to " +
                        std::to_string(count));
        }
        info.form.offset = Tell();
        info.form.listed = values;
        if (info.form.offset < 0 || !SkipInts(values, 1)) return false;
    }
    return RecordComponents(info, components, values);
}

bool CFileEnsightVarGold::ScanNodeValues(const PartInfo& part, PartVariableInfo& record, int32_t components) {
    std::string text;
    int32_t unused = -1;
    SectionForm::Kind form = SectionForm::Plain;
    const HeaderKind header = NextRecord(text, unused, nullptr, &form);
    if (header != Block && header != Coordinates) {
        return Fail(kNodeScanFailure);
    }
    record.valueCount = part.nodeCount;
    TypeVariableInfo& info = record.types.emplace_back();
    info.count = part.nodeCount;
    info.present = true;
    return RecordSection(info, form, components, part.nodeCount);
}

bool CFileEnsightVarGold::ScanElementValues(const PartInfo& part, PartVariableInfo& record, int32_t components) {
    std::string text;
    int32_t code = -1;  // an element type header's type
    SectionForm::Kind form = SectionForm::Plain;
    HeaderKind header = NextRecord(text, code, nullptr, &form);
    if (header == Block) {
        const std::optional<int32_t> cells = part.kind == PartUnstructured
                                                 ? part.elementCount
                                                 : BlockCellCount(part.imax, part.jmax, part.kmax);
        if (!cells) {
            return Fail(kElementScanFailure);
        }
        record.valueCount = *cells;
        TypeVariableInfo& info = record.types.emplace_back();
        info.count = record.valueCount;
        info.present = true;
        return RecordSection(info, form, components, *cells);
    }
    if (header != ElementTypeHeader) {
        return Fail(kElementScanFailure);
    }
    record.valueCount = part.elementCount;
    std::array<int32_t, ElementTypeCount> sectionsSeen{};
    while (true) {
        const ElementBlockInfo* block = nullptr;
        const auto type = static_cast<ElementType>(code);
        if (code >= 0 && code < ElementTypeCount) block = NthBlockOfType(part, type, sectionsSeen[code]++);
        if (block == nullptr) {
            return Fail(kElementScanFailure);
        }
        TypeVariableInfo& info = record.types.emplace_back();
        info.type = type;
        info.count = block->elementCount;
        info.present = block->inCategory;
        if (!RecordSection(info, form, components, block->elementCount)) return false;
        const int64_t position = Tell();
        if (NextRecord(text, code, nullptr, &form) != ElementTypeHeader) return Seek(position, 0);
    }
}

bool CFileEnsightVarGold::ScanPart(const PartCollection& collection, VariableKind& kind, int32_t partNumber,
                                   int32_t step) {
    const PartInfo* part = collection.FindPart(partNumber, step);
    if (part == nullptr || part->kind == PartParticles) {
        return Fail("Part " + std::to_string(partNumber) + " is not in the geometry");
    }
    if (HoldsNoValues(*part, kind.isNodal) && SectionIsBare()) return true;
    PartVariableInfo& record = kind.items.emplace_back();
    record.partNumber = partNumber;
    record.step = step;
    record.fileName = fileName_;
    record.byteOrder = byteOrder();
    record.format = format_;
    return kind.isNodal ? ScanNodeValues(*part, record, kind.components)
                        : ScanElementValues(*part, record, kind.components);
}

bool CFileEnsightVarGold::ScanVariableParts(PartCollection& collection, VariableKind& kind, int32_t step) {
    if (file_ == nullptr) {
        return Fail("File has not been opened");
    }
    if (kind.components < 1 || kind.components > kMaxComponents || step < 0) {
        return Fail(kind.isNodal ? kNodeScanFailure : kElementScanFailure);
    }
    StepTally steps(step + 1);
    stepsScanned_ = 0;
    std::string text;
    while (true) {
        int32_t value1 = -1;
        int32_t partNumber = -1;
        const HeaderKind header = NextRecord(text, value1, &partNumber);
        if (header == EndOfFile) {
            stepsScanned_ = steps.Count();
            return true;
        }
        if (header == ReadFailure) return false;
        if (header == Part) {
            if (!ScanPart(collection, kind, partNumber, steps.current())) return false;
            steps.Data();
        } else if (header == BeginTimeStep) {
            // the step's description is free text ("part" or "coordinates" included)
            if (!ReadString80(text)) return false;
        } else if (header != EndTimeStep || !steps.End()) {
            return Fail(kind.isNodal ? kNodeScanFailure : kElementScanFailure);
        }
    }
}

}  // namespace quorix

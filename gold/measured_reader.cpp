// Measured (particle) variable files: encoding guessed from the file size and
// confirmed on the first values; byte order settled on those values.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "casefile/checked_math.h"
#include "casefile/text_lines.h"
#include "casefile/text_number.h"
#include "gold/ascii_fields.h"
#include "gold/value_plausibility.h"
#include "gold/variable_reader.h"

namespace quorix {
namespace {

constexpr const char* kUnreadable = "Unable to read data.\nPossible unsupported format or empty file.";
constexpr int64_t kMaxTestValues = 6;
constexpr int32_t kAsciiValuesPerLine = 6;

// ASCII text read as an 80-byte record shows its own line ends followed by
// more text; a true C binary string has at most trailing line-end padding.
bool HasTextAfterLineEnd(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const size_t lineEnd = text.find_first_of("\r\n");
    if (lineEnd == std::string_view::npos) return false;
    return text.find_first_not_of(LineBlanks, lineEnd) != std::string_view::npos;
}

int64_t SaturatingAdd(int64_t a, int64_t b) { return CheckedAdd(a, b).value_or(std::numeric_limits<int64_t>::max()); }

struct SizeEstimates {
    int64_t ascii = 0;
    int64_t binary = 0;
};

// Sizes of the values of `stride` steps in both encodings; false when a step
// has no measured part to count them from.
bool EstimateSizes(const PartCollection& collection, int32_t components, int32_t step, int32_t stride,
                   int64_t fileSize, SizeEstimates& estimates) {
    for (int64_t s = 0; s < std::max(stride, 1); ++s) {
        const PartInfo* part = collection.FindPart(ParticlePartNumber, static_cast<int32_t>(step + s + 1));
        if (part == nullptr || part->kind != PartParticles) return false;
        const int64_t values = static_cast<int64_t>(part->nodeCount) * components;
        estimates.ascii = SaturatingAdd(estimates.ascii, 12 * values + values / 6);
        estimates.binary = SaturatingAdd(estimates.binary, 4 * values);
        // past the file size the binary estimate stays the nearer one
        if (estimates.binary >= fileSize) break;
    }
    return true;
}

std::string NoMeasuredPart(int32_t step) {
    return "No measured particles for time step " + std::to_string(step);
}

}  // namespace

bool CFileEnsightVarGold::ReadMeasuredString(std::string& text) {
    return ReadString80(text) && !(format_ == EncodingCBinary && HasTextAfterLineEnd(text));
}

HeaderKind CFileEnsightVarGold::PassMeasuredHeader() {
    std::string text;
    int32_t value1 = -1;
    HeaderKind kind = NextRecord(text, value1, nullptr);
    if (kind == BinaryFormat) kind = NextRecord(text, value1, nullptr);
    if (kind == EndOfFile || kind == ReadFailure || kind == EndTimeStep) return kind;
    if (format_ == EncodingCBinary && HasTextAfterLineEnd(text)) return ReadFailure;
    // the description after "BEGIN TIME STEP" is free text and never classified
    if (kind == BeginTimeStep && !ReadMeasuredString(text)) return ReadFailure;
    return OtherLine;
}

bool CFileEnsightVarGold::BinaryValuesSettleOrder(int64_t count) {
    unsigned char bytes[4 * kMaxTestValues];
    if (count > kMaxTestValues || !file_->ReadBytes(bytes, static_cast<size_t>(count) * 4)) {
        return Fail("Failed when attempting to read float data in CBinary format");
    }
    // flip only on evidence: a bad value natively and none swapped
    file_->SetByteOrder(OrderOfValues(bytes, count, NativeByteOrder()));
    return true;
}

// Every field must be a whole number: a binary file read as text fails here.
bool CFileEnsightVarGold::AsciiValuesComplete(int64_t count) {
    std::string_view line;
    int64_t seen = 0;
    while (seen < count) {
        if (!file_->NextLine(line, MaxLineLength)) return false;
        const int64_t fields = ConvertRealLine(line, nullptr, 0);
        if (fields < 0) return false;
        seen += fields;
    }
    return true;
}

bool CFileEnsightVarGold::TestMeasuredEncoding(int64_t valueCount) {
    if (PassMeasuredHeader() != OtherLine) return false;
    if (valueCount == 0) return true;
    return format_ == EncodingCBinary ? BinaryValuesSettleOrder(valueCount) : AsciiValuesComplete(valueCount);
}

bool CFileEnsightVarGold::OpenMeasuredVariable(PartCollection& collection, VariableKind& kind,
                                               const std::string& path, int32_t step, int32_t stride) {
    if (!OpenFile(path, NativeByteOrder())) return false;
    SizeEstimates estimates;
    const PartInfo* part = collection.FindPart(ParticlePartNumber, step + 1);
    if (step < 0 || kind.components < 1 || part == nullptr ||
        !EstimateSizes(collection, kind.components, step, stride, FileSize(), estimates)) {
        Close();
        return Fail(NoMeasuredPart(step + 1));
    }
    const int64_t size = FileSize();
    const bool binaryFirst = std::llabs(size - estimates.ascii) >= std::llabs(size - estimates.binary);
    const GeometryEncoding first = binaryFirst ? EncodingCBinary : EncodingAscii;
    const GeometryEncoding second = binaryFirst ? EncodingAscii : EncodingCBinary;
    const int64_t testValues = std::min(kMaxTestValues, static_cast<int64_t>(part->nodeCount) * kind.components);
    for (GeometryEncoding format : {first, second}) {
        file_->Rewind();
        file_->SetByteOrder(NativeByteOrder());
        format_ = format;
        if (TestMeasuredEncoding(testValues)) {
            file_->Rewind();
            return true;
        }
    }
    Close();
    format_ = EncodingUndefined;
    return Fail(kUnreadable);
}

// Vector values are interleaved per particle (vx vy vz, next particle): one
// array of np x components values, recorded once with the component stride.
bool CFileEnsightVarGold::ScanMeasuredValues(PartCollection& collection, VariableKind& kind, int32_t step) {
    if (file_ == nullptr) {
        return Fail("File has not been opened");
    }
    const HeaderKind header = PassMeasuredHeader();
    if (header == EndOfFile) return true;
    if (header != OtherLine) return false;
    const PartInfo* part = collection.FindPart(ParticlePartNumber, step + 1);
    if (part == nullptr || part->kind != PartParticles || kind.components < 1 || kind.components > 9) {
        return Fail(NoMeasuredPart(step + 1));
    }
    PartVariableInfo& record = kind.items.emplace_back();
    record.partNumber = ParticlePartNumber;
    record.step = step + 1;
    record.fileName = fileName_;
    record.byteOrder = byteOrder();
    record.format = format_;
    record.valueCount = part->nodeCount;
    TypeVariableInfo& info = record.types.emplace_back();
    info.count = part->nodeCount;
    info.present = true;
    info.stride = kind.components;
    const int64_t start = Tell();
    info.componentOffset.fill(0);
    std::fill_n(info.componentOffset.begin(), kind.components, start);
    if (start < 0 || !SkipFloats(static_cast<int64_t>(part->nodeCount) * kind.components, kAsciiValuesPerLine)) {
        return false;
    }
    // "END TIME STEP" closes a step of a transient file; anything else belongs to the next call
    std::string text;
    int32_t value1 = -1;
    const int64_t position = Tell();
    if (NextRecord(text, value1, nullptr) != EndTimeStep) return Seek(position, 0);
    return true;
}

}  // namespace quorix

#include "gold/ensight_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

#include "casefile/ascii_case.h"
#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "casefile/scanner.h"
#include "casefile/show_error.h"
#include "casefile/text_lines.h"
#include "casefile/time_step_mark.h"
#include "gold/ascii_fields.h"
#include "gold/page_memory.h"
#include "gold/skip_far_lines.h"

namespace quorix {
namespace {


constexpr const char* TextFormatUndefined = "File format not defined";
constexpr const char* TextFortran = "Fortran format not currently supported";
constexpr const char* TextFortranParticles = "Fortran format not yet supported";
constexpr const char* TextString = "Failed when attempting to read character string";
constexpr const char* TextIntBinary = "Failed when attempting to read integer data";
constexpr const char* TextFloatBinary = "Failed when attempting to read float data in CBinary format";
constexpr const char* TextIntAscii = "Failed when attempting to read integer data in ASCII format";
constexpr const char* TextFloatAscii = "Failed when attempting to read float data in ASCII format";
constexpr const char* TextSkipIntAscii = "Failed when attempting to skip integer data in ASCII format";
constexpr const char* TextSkipFloatAscii = "Failed when attempting to skip float data in ASCII format";
constexpr const char* TextBeyondFile = "Attempt to read beyond limits of file";
constexpr const char* TextParticlesBinary = "Failed when attempting to read particle coordinates in binary format";
constexpr const char* TextParticlesAscii = "Failed when attempting to read particle coordinates in ASCII format";
constexpr const char* TextCannotOpen = "Unable to open file for reading";

thread_local Failure lastFailure;

// Lines needed for `count` values written `perLine` to a line (0 or 1: one per line).
int64_t LinesFor(int64_t count, int32_t perLine) {
    if (perLine <= 1) return count;
    return count / perLine + (count % perLine != 0 ? 1 : 0);
}

// One line of values, by the type of the destination.
int64_t ConvertValues(std::string_view line, int width, int32_t* out, int64_t capacity) {
    return ConvertIntLine(line, width, out, capacity);
}

int64_t ConvertValues(std::string_view line, int /*width*/, float* out, int64_t capacity) {
    return ConvertRealLine(line, out, capacity);
}

size_t PlainRun(std::string_view text, int width, int32_t* out, int64_t capacity, int64_t& values) {
    return ConvertPlainIntLines(text, width, out, capacity, values);
}

size_t PlainRun(std::string_view text, int /*width*/, float* out, int64_t capacity, int64_t& values) {
    return ConvertPlainRealLines(text, out, capacity, values);
}

// The one ASCII value loop. Lines are taken straight from the file's buffer:
// runs of plain lines are converted where they lie, any other line on its own.
// Values fill `buffer` (`chunk` of them), handed to `deliver` whenever it is
// full and at the end. Exactly `count` values must come: a last line holding
// more fails. A line that straddles two fills passes through a row of its own.
template <class T, class Deliver>
bool ReadAsciiValues(File_a& file, T* buffer, int64_t chunk, int64_t count, int width, Deliver&& deliver) {
    int64_t counted = 0;
    int64_t filled = 0;
    std::vector<T> row;
    auto stored = [&](int64_t n) {
        counted += n;
        filled += n;
        if (filled < chunk) return true;
        filled = 0;
        return deliver(buffer, chunk);
    };
    auto take = [&](std::string_view line) {
        const int64_t n = ConvertValues(line, width, buffer + filled, chunk - filled);
        if (n < 0 || n > count - counted) return false;
        if (n <= chunk - filled) return stored(n);
        row.resize(static_cast<size_t>(n));
        ConvertValues(line, width, row.data(), n);
        for (int64_t i = 0; i < n;) {
            const int64_t part = std::min(n - i, chunk - filled);
            std::copy_n(row.data() + i, part, buffer + filled);
            i += part;
            if (!stored(part)) return false;
        }
        return true;
    };
    while (counted < count) {
        const std::string_view lines = file.BufferedLines();
        if (lines.empty()) {
            std::string_view line;
            if (!file.NextLine(line, MaxLineLength) || !take(line)) return false;
            continue;
        }
        const char* p = lines.data();
        const char* end = p + lines.size();
        bool ok = true;
        while (ok && p != end && counted < count) {
            int64_t n = 0;
            p += PlainRun(std::string_view(p, static_cast<size_t>(end - p)), width, buffer + filled,
                          std::min(chunk - filled, count - counted), n);
            ok = stored(n);
            if (!ok || p == end || counted == count) break;
            if (n > 0) continue;
            const char* next = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p))) + 1;
            ok = take(std::string_view(p, static_cast<size_t>(next - p)));
            p = next;
        }
        file.Consume(static_cast<size_t>(p - lines.data()));
        if (!ok) return false;
    }
    return filled == 0 || deliver(buffer, filled);
}

// Into `destination` whole, or only counted when it is null.
template <class T>
bool ReadAsciiValues(File_a& file, T* destination, int64_t count, int width) {
    auto none = [](const T*, int64_t) { return true; };
    if (destination != nullptr) return ReadAsciiValues(file, destination, count, count, width, none);
    T scratch[4096];  // skipped values are converted too: the plain runs still count them fastest
    return ReadAsciiValues(file, scratch, 4096, count, width, none);
}

std::vector<std::string_view> SplitTokens(std::string_view text, size_t maxTokens) {
    std::vector<std::string_view> tokens;
    for (std::string_view token = zelvane::strutil::nextToken(text); !token.empty();
         token = zelvane::strutil::nextToken(text)) {
        if (tokens.size() == maxTokens) {
            tokens.push_back({});  // marks "more than maxTokens"
            break;
        }
        tokens.push_back(token);
    }
    return tokens;
}

HeaderKind ClassifyBlockLine(const std::vector<std::string_view>& tokens, int32_t& value1, int32_t& value2) {
    value1 = PartCurvilinear;
    value2 = 0;
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i] == "rectilinear") value1 = PartRectilinear;
        else if (tokens[i] == "uniform") value1 = PartUniform;
        else if (tokens[i] == "iblanked") value2 |= BlockIBlanked;
        else if (tokens[i] == "with_ghost") value2 |= BlockWithGhost;
        else if (tokens[i] == "range") value2 |= BlockRange;
    }
    return Block;
}

HeaderKind ClassifySingleWord(std::string_view word, int32_t& value1) {
    if (word == "part") return Part;
    if (word == "coordinates") return Coordinates;
    if (word == "extents") return Extents;
    if (word == "node_ids") return NodeIds;
    if (word == "element_ids") return ElementIds;
    if (word == "ghost_flags") return GhostFlags;
    const ElementType type = ElementTypeFromName(word);
    if (type == ElementNone) return OtherLine;
    value1 = type;
    return ElementTypeHeader;
}

HeaderKind ClassifyTwoWords(std::string_view first, std::string_view second, int32_t& value1, int32_t& value2) {
    if (first == "part") {
        int32_t number = 0;
        ParseFixedInt32Field(second.data(), second.data() + second.size(), number);  // leading digits, as atoi reads them
        value2 = number;
        return PartWithNumber;
    }
    if (first == "particle" && second == "coordinates") return ParticleCoordinates;
    if (second == "binary" && (first == "c" || first == "fortran")) {
        value1 = first == "c" ? EncodingCBinary : EncodingFortranBinary;
        return BinaryFormat;
    }
    return OtherLine;
}

HeaderKind ClassifyLongLine(std::string_view text, const std::vector<std::string_view>& tokens, int32_t& value1) {
    if (tokens[1] == "id") {
        value1 = IdOptionFromName(tokens[2]);
        if (tokens[0] == "element") return ElementIdOption;
        if (tokens[0] == "node") return NodeIdOption;
        return OtherLine;
    }
    switch (TimeStepMarkOf(text)) {
        case TimeStepMark::Begin: return BeginTimeStep;
        case TimeStepMark::End: return EndTimeStep;
        case TimeStepMark::None: return OtherLine;
    }
    return OtherLine;
}

}  // namespace

HeaderKind ClassifyHeaderLine(const char* text, int32_t& value1, int32_t& value2) {
    value1 = -1;
    value2 = -1;
    std::string lower(text == nullptr ? "" : text);
    for (char& c : lower) c = AsciiLower(c);
    // Only block lines look past the third token, so the split may stop early otherwise.
    bool isBlock = lower.find("block") != std::string::npos;
    std::vector<std::string_view> tokens = SplitTokens(lower, isBlock ? lower.size() : 3);
    if (tokens.empty()) return OtherLine;
    if (tokens[0] == "block") return ClassifyBlockLine(tokens, value1, value2);
    if (tokens.size() == 1) return ClassifySingleWord(tokens[0], value1);
    if (tokens.size() == 2) return ClassifyTwoWords(tokens[0], tokens[1], value1, value2);
    return ClassifyLongLine(lower, tokens, value1);
}

CFileEnsight::~CFileEnsight() { Close(); }

void CFileEnsight::Close() {
    record_ = {};
    frameFault_ = false;
    if (file_ != nullptr) File_a::Close(file_);
}

bool CFileEnsight::OpenPath(const std::string& path, ByteOrder byteOrder, std::string_view end) {
    Close();
    fileName_ = path;
    OpenFailure failure = OpenFailure::None;
    file_ = File_a::Open(path, "rb", byteOrder, &failure);
    if (file_ != nullptr) return true;
    SetError(TextCannotOpen + std::string(OpenFailureNote(failure)) + std::string(end));
    failure_.open = lastFailure.open = failure;
    return false;
}

bool CFileEnsight::Open(const std::string& path, bool isGold, GeometryEncoding format, ByteOrder byteOrder,
                        int64_t startOffset) {
    isGold_ = isGold;
    format_ = format;
    if (!OpenPath(path, byteOrder, "")) return false;
    if (startOffset < 0 || startOffset > file_->FileSize() || !file_->Seek(startOffset, 0)) {
        Close();
        return Fail(TextCannotOpen);
    }
    return true;
}

void ShowReadError(const std::string& fileName, const std::string& text) {
    ShowError("Error when reading file " + fileName + "\n" + text);
}

const Failure& LastReadFailure() { return lastFailure; }
void ForgetReadFailure() noexcept { lastFailure = {}; }
void NoteReadFailure(Failure failure) { lastFailure = std::move(failure); }

void CFileEnsight::ReportError() const {
    ShowReadError(fileName_, failure_.text);
    ShowErrorPlace(failure_.place);
}

void CFileEnsight::SetError(std::string text) {
    if (frameFault_) return;
    failure_.Set(std::move(text), {fileName_, Tell(), format_ == EncodingAscii});
    NoteReadFailure(failure_);
}

bool CFileEnsight::Fail(const char* text) {
    SetError(text);
    return false;
}

ByteOrder CFileEnsight::byteOrder() const { return file_ != nullptr ? file_->GetByteOrder() : ByteOrderUnknown; }
int64_t CFileEnsight::Tell() const { return file_ != nullptr ? file_->Tell() : -1; }
bool CFileEnsight::IsEof() const { return file_ == nullptr || file_->IsEof(); }
int64_t CFileEnsight::FileSize() const { return file_ != nullptr ? file_->FileSize() : 0; }

int64_t CFileEnsight::BytesLeft() const { return file_ != nullptr ? file_->BytesLeft() : 0; }

bool CFileEnsight::Seek(int64_t offset, int origin) {
    if (file_ == nullptr) return Fail("File has not been opened");
    record_ = {};
    frameFault_ = false;
    if (!file_->Seek(offset, origin)) return Fail(TextBeyondFile);
    return true;
}

void CFileEnsight::Rewind() {
    record_ = {};
    frameFault_ = false;
    if (file_ != nullptr) file_->Rewind();
}

bool CFileEnsight::CanRead() {
    if (file_ == nullptr) return Fail(TextFormatUndefined);
    if (format_ != EncodingCBinary && format_ != EncodingAscii && format_ != EncodingFortranBinary) {
        return Fail(TextFormatUndefined);
    }
    return true;
}

ByteOrder CFileEnsight::FortranFrameOrder() {
    if (file_ == nullptr) return ByteOrderUnknown;
    unsigned char head[4] = {};
    unsigned char tail[4] = {};
    Rewind();
    const bool read = file_->ReadBytes(head, 4) && file_->Seek(4 + StringRecordBytes, 0) && file_->ReadBytes(tail, 4);
    Rewind();
    return read ? quorix::FortranFrameOrder(head, tail) : ByteOrderUnknown;
}

bool CFileEnsight::RecordFault(const std::string& what) {
    Fail("Fortran record at byte " + std::to_string(record_.start) + " of " + fileName_ + " " + what);
    failure_.place.offset = lastFailure.place.offset = record_.start;
    frameFault_ = true;
    return false;
}

bool CFileEnsight::OpenRecord(bool& atEnd) {
    atEnd = false;
    for (;;) {
        record_ = {Tell(), 0, 0};
        const int64_t left = BytesLeft();
        if (left < 4) {
            atEnd = left == 0;
            return left == 0 ? Fail(TextBeyondFile) : RecordFault("is cut off within its length");
        }
        int32_t length = 0;
        if (!file_->ReadInt32Array(&length, 1)) return Fail(TextBeyondFile);
        record_.length = length;
        const std::string size = std::to_string(length) + " bytes long";
        if (length < 0 || length % 4 != 0) return RecordFault("is " + size + ", not a whole number of 4-byte words");
        if (!FitsIn(length, 1, left - 8)) return RecordFault("is " + size + ", past the end of the file");
        record_.left = length;
        if (length > 0) return true;
        // An empty record (an array of no values) carries nothing to read.
        if (!CloseRecord()) return false;
    }
}

bool CFileEnsight::CloseRecord() {
    int32_t trailer = 0;
    if (!file_->ReadInt32Array(&trailer, 1)) return RecordFault("has no length after it");
    if (trailer != record_.length) {
        return RecordFault("ends with the length " + std::to_string(trailer) + ", not " +
                           std::to_string(record_.length));
    }
    record_.left = 0;
    return true;
}

bool CFileEnsight::EndOfArray() {
    if (record_.left == 0 || partialRecords_) return true;
    return RecordFault("holds " + std::to_string(record_.length) + " bytes where " +
                       std::to_string(record_.length - record_.left) + " were expected");
}

bool CFileEnsight::PassRecordWords(void* destination, int64_t count, Words words) {
    for (int64_t done = 0; done < count;) {
        bool atEnd = false;
        if (record_.left == 0 && !OpenRecord(atEnd)) return false;
        const int64_t n = std::min(count - done, record_.left / 4);
        bool passed = false;
        switch (words) {
            case Words::Ints:
                passed = file_->ReadInt32Array(static_cast<int32_t*>(destination) + done, n) || Fail(TextIntBinary);
                break;
            case Words::Floats:
                passed = file_->ReadFloat32Array(static_cast<float*>(destination) + done, n) || Fail(TextFloatBinary);
                break;
            case Words::Skip:
                passed = file_->Seek(4 * n, 1) || Fail(TextBeyondFile);
                break;
        }
        if (!passed) return false;
        record_.left -= 4 * n;
        done += n;
        if (record_.left == 0 && !CloseRecord()) return false;
    }
    return inPieces_ || EndOfArray();
}

bool CFileEnsight::SkipRecordWords(int64_t count) {
    return count >= 0 ? PassRecordWords(nullptr, count, Words::Skip) : Fail(TextBeyondFile);
}

bool CFileEnsight::ReadFortranString(std::string& text, bool& atEnd) {
    if (record_.left != 0 && !EndOfArray()) return false;
    if (!OpenRecord(atEnd)) return atEnd ? Fail(TextString) : false;
    if (record_.length != static_cast<int64_t>(StringRecordBytes)) {
        return RecordFault("holds " + std::to_string(record_.length) + " bytes where a string of " +
                           std::to_string(StringRecordBytes) + " was expected");
    }
    char record[StringRecordBytes];
    if (file_->Read(record, 1, StringRecordBytes) != StringRecordBytes) return Fail(TextString);
    record_.left = 0;
    if (!CloseRecord()) return false;
    text.assign(StringRecordText(record, StringTextLength));
    return true;
}

bool CFileEnsight::SkipBytes(int64_t count, int64_t width) {
    // A skip past the end would make a cut file look complete.
    if (!FitsIn(count, width, BytesLeft())) return Fail(TextBeyondFile);
    return file_->Seek(count * width, 1) || Fail(TextBeyondFile);
}

bool CFileEnsight::ReadStringRecord(std::string& text, bool& atEnd) {
    atEnd = false;
    text.clear();
    if (!CanRead()) return false;
    if (format_ == EncodingFortranBinary) return ReadFortranString(text, atEnd);
    if (format_ == EncodingCBinary) {
        char record[StringRecordBytes];
        size_t got = file_->Read(record, 1, StringRecordBytes);
        if (got != StringRecordBytes) {
            atEnd = got == 0 && file_->IsEof();
            return Fail(TextString);
        }
        text.assign(StringRecordText(record, StringTextLength));
        return true;
    }
    std::string_view line;
    if (!file_->NextLine(line, MaxLineLength)) {
        atEnd = file_->IsEof();
        return Fail(TextString);
    }
    text.assign(line.substr(0, std::min(line.size(), StringTextLength)));
    return true;
}

bool CFileEnsight::ReadString80(std::string& text) {
    bool atEnd = false;
    return ReadStringRecord(text, atEnd);
}

bool CFileEnsight::ReadInts(int32_t* destination, int64_t count) {
    if (!CanRead()) return false;
    if (count < 0) return Fail(IsBinary() ? TextIntBinary : TextIntAscii);
    if (format_ == EncodingFortranBinary) return PassRecordWords(destination, count, Words::Ints);
    if (format_ == EncodingCBinary) return file_->ReadInt32Array(destination, count) || Fail(TextIntBinary);
    int width = isGold_ ? GoldIntWidth : Ensight6IntWidth;
    return ReadAsciiValues(*file_, destination, count, width) || Fail(TextIntAscii);
}

bool CFileEnsight::ReadFloats(float* destination, int64_t count) {
    if (!CanRead()) return false;
    if (count < 0) return Fail(IsBinary() ? TextFloatBinary : TextFloatAscii);
    if (format_ == EncodingFortranBinary) return PassRecordWords(destination, count, Words::Floats);
    if (format_ == EncodingCBinary) return file_->ReadFloat32Array(destination, count) || Fail(TextFloatBinary);
    return ReadAsciiValues(*file_, destination, count, RealWidth) || Fail(TextFloatAscii);
}

bool CFileEnsight::SkipInts(int64_t count, int32_t valuesPerLine) {
    if (!CanRead()) return false;
    if (format_ == EncodingCBinary) return SkipBytes(count, 4);
    if (format_ == EncodingFortranBinary) return SkipRecordWords(count);
    if (count < 0 || valuesPerLine < 0) return Fail(TextSkipIntAscii);
    if (count == 0) return true;
    if (valuesPerLine == 0) {
        // Lines of varying length (polygon connectivity): count the fields.
        int width = isGold_ ? GoldIntWidth : Ensight6IntWidth;
        int32_t* none = nullptr;
        return ReadAsciiValues(*file_, none, count, width) || Fail(TextSkipIntAscii);
    }
    return SkipFarLines(*file_, LinesFor(count, valuesPerLine)) || Fail(TextSkipIntAscii);
}

bool CFileEnsight::SkipFloats(int64_t count, int32_t valuesPerLine) {
    if (!CanRead()) return false;
    if (format_ == EncodingCBinary) return SkipBytes(count, 4);
    if (format_ == EncodingFortranBinary) return SkipRecordWords(count);
    if (count < 0 || valuesPerLine < 0 || valuesPerLine > 21) return Fail(TextSkipFloatAscii);
    return SkipFarLines(*file_, LinesFor(count, valuesPerLine)) || Fail(TextSkipFloatAscii);
}

bool CFileEnsight::SkipParticles(int64_t count) {
    if (!CanRead()) return false;
    if (format_ == EncodingFortranBinary) return Fail(TextFortran);
    if (format_ == EncodingCBinary) return SkipBytes(count, 16);
    if (count < 0) return Fail(TextString);
    return SkipFarLines(*file_, count) || Fail(TextString);
}

bool CFileEnsight::ProbeParticleRecord() {
    if (!CanRead()) return false;
    if (format_ == EncodingFortranBinary) return Fail(TextFortran);
    if (format_ == EncodingAscii) return true;
    int64_t start = file_->Tell();
    int32_t id = 0;
    bool read = file_->ReadInt32Array(&id, 1);
    if (read && id == 0) {
        float xyz[3];
        read = file_->ReadFloat32Array(xyz, 3) && file_->ReadInt32Array(&id, 1);
    }
    file_->Seek(start, 0);
    return read && id >= 1 && id <= MaxPartNumber;
}

bool CFileEnsight::ReadParticleCoords(float* destination, int64_t count) {
    if (!CanRead()) return false;
    if (format_ == EncodingFortranBinary) return Fail(TextFortranParticles);
    if (count < 0) return Fail(format_ == EncodingCBinary ? TextParticlesBinary : TextParticlesAscii);
    float* x = destination;
    float* y = destination + count;
    float* z = destination + 2 * count;
    if (format_ == EncodingCBinary) {
        if (!FitsIn(count, 16, BytesLeft()) || !file_->Seek(4 * count, 1)) return Fail(TextParticlesBinary);
        // The file interleaves x y z per particle; read in slices and spread them.
        constexpr int64_t Slice = 4096;
        float xyz[3 * Slice];
        for (int64_t done = 0; done < count;) {
            int64_t n = std::min(Slice, count - done);
            if (!file_->ReadFloat32Array(xyz, 3 * n)) return Fail(TextParticlesBinary);
            for (int64_t i = 0; i < n; ++i, ++done) {
                x[done] = xyz[3 * i];
                y[done] = xyz[3 * i + 1];
                z[done] = xyz[3 * i + 2];
            }
        }
        return true;
    }
    constexpr size_t IdWidth = 8;
    for (int64_t i = 0; i < count; ++i) {
        std::string_view line;
        if (!file_->NextLine(line, MaxLineLength)) return Fail(TextString);
        std::string_view data = DataPart(line);
        float values[3];
        if (data.size() <= IdWidth || ConvertRealLine(data.substr(IdWidth), values, 3) != 3) {
            return Fail(TextParticlesAscii);
        }
        x[i] = values[0];
        y[i] = values[1];
        z[i] = values[2];
    }
    return true;
}

HeaderKind CFileEnsight::ReadHeader(int32_t& value1, int32_t& value2) {
    value1 = -1;
    value2 = -1;
    std::string text;
    bool atEnd = false;
    if (!ReadStringRecord(text, atEnd)) return atEnd ? EndOfFile : ReadFailure;
    return ClassifyHeaderLine(text.c_str(), value1, value2);
}

HeaderKind CFileEnsight::ReadBlockHeader(int32_t& value1, int32_t& value2) {
    HeaderKind kind = ReadHeader(value1, value2);
    if (kind == Part || kind == Coordinates || kind == ElementTypeHeader || kind == ParticleCoordinates) {
        if (!ReadInts(&value2, 1)) return ReadFailure;
    }
    return kind;
}

template <class T, class Deliver>
bool CFileEnsight::ReadBinaryChunks(T* buffer, int64_t chunk, int64_t count, Deliver& deliver) {
    // The slices are one array: a Fortran record may end only where the array does.
    const bool outer = inPieces_;
    inPieces_ = true;
    bool ok = true;
    for (int64_t done = 0; ok && done < count;) {
        int64_t n = std::min(chunk, count - done);
        bool read = false;
        if constexpr (std::is_same_v<T, int32_t>) read = ReadInts(buffer, n);
        else read = ReadFloats(buffer, n);
        ok = read && deliver(buffer, n);
        done += n;
    }
    inPieces_ = outer;
    return ok && (inPieces_ || EndOfArray());
}

bool CFileEnsight::ReadIntsInSlices(int64_t count, const std::function<bool(const int32_t*, int64_t)>& take) {
    // A huge page: binary slices this large are read past the file's buffer.
    constexpr int64_t SliceValues = int64_t{1} << 19;
    if (!CanRead()) return false;
    bool binary = IsBinary();
    if (!FitsIn(count, binary ? 4 : 1, BytesLeft())) return Fail(binary ? TextIntBinary : TextIntAscii);
    if (count == 0) return true;
    const int64_t chunk = std::min(count, SliceValues);
    const ScratchArray<int32_t> buffer(chunk);
    if (!buffer) return Fail(binary ? TextIntBinary : TextIntAscii);
    auto deliver = [&](const int32_t* values, int64_t n) { return take(values, n); };
    if (binary) return ReadBinaryChunks(buffer.get(), chunk, count, deliver);
    return ReadAsciiValues(*file_, buffer.get(), chunk, count, isGold_ ? GoldIntWidth : Ensight6IntWidth, deliver) ||
           Fail(TextIntAscii);
}

}  // namespace quorix

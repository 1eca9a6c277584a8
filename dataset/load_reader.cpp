#include "dataset/load_reader.h"

#include <cstdint>

#include "casefile/checked_math.h"

namespace quorix {

bool LoadReader::Open(const std::string& fileName, GeometryEncoding format, ByteOrder byteOrder, int64_t offset) {
    if (format != EncodingCBinary && format != EncodingAscii && format != EncodingFortranBinary) return false;
    if (offset < 0 || !file_.Open(fileName, true, format, byteOrder, offset)) return false;
    file_.AllowPartialRecords();
    size_ = file_.FileSize();
    return size_ >= offset;
}

bool LoadReader::Fits(int64_t offset, int64_t count) const {
    return offset >= 0 && offset <= size_ && FitsIn(count, isBinary() ? 4 : 1, size_ - offset);
}

bool LoadReader::SeekFitting(int64_t offset, int64_t count) {
    return Fits(offset, count) && file_.Seek(offset, 0);
}

IntArray::IntArray(int64_t count) {
    if (count < 0 || static_cast<uint64_t>(count) > SIZE_MAX / 2 / sizeof(int32_t)) return;
    memory_ = PageArray(static_cast<size_t>(count > 0 ? count : 1) * sizeof(int32_t));
}

}  // namespace quorix

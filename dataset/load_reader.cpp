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

}  // namespace quorix

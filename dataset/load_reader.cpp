#include "dataset/load_reader.h"

#include <cstdint>

namespace quorix {

bool LoadReader::Open(const std::string& fileName, int32_t format, int32_t byteOrder, int64_t offset) {
    if (format != FormatCBinary && format != FormatAscii && format != FormatFortranBinary) return false;
    if (offset < 0 || !file_.Open(fileName, true, format, byteOrder, offset)) return false;
    file_.AllowPartialRecords();
    size_ = file_.FileSize();
    return size_ >= offset;
}

bool LoadReader::Fits(int64_t offset, int64_t count) const {
    if (offset < 0 || count < 0 || offset > size_) return false;
    const int64_t left = size_ - offset;
    return isBinary() ? count <= left / 4 : count <= left;
}

bool LoadReader::SeekFitting(int64_t offset, int64_t count) {
    return Fits(offset, count) && file_.Seek(offset, 0);
}

}  // namespace quorix

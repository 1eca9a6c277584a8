#include "dataset/load_reader.h"

#include <sys/mman.h>

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

namespace {
// Below this the heap does better than a mapping of its own.
constexpr size_t MapThreshold = size_t{4} << 20;
}  // namespace

IntArray::IntArray(int64_t count) {
    if (count < 0 || static_cast<uint64_t>(count) > SIZE_MAX / sizeof(int32_t)) return;
    const size_t bytes = static_cast<size_t>(count) * sizeof(int32_t);
    if (bytes < MapThreshold) {
        data_ = new (std::nothrow) int32_t[count > 0 ? static_cast<size_t>(count) : 1];
        return;
    }
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) return;
    madvise(memory, bytes, MADV_HUGEPAGE);
    data_ = static_cast<int32_t*>(memory);
    mappedBytes_ = bytes;
}

IntArray::~IntArray() {
    if (mappedBytes_ > 0) {
        munmap(data_, mappedBytes_);
    } else {
        delete[] data_;
    }
}

}  // namespace quorix

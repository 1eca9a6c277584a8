#include "dataset/load_reader.h"

#include <sys/mman.h>

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

namespace {
// Below this the heap does better than a mapping of its own; above it the
// heap would map the array anyway, page by page.
constexpr size_t MapThreshold = size_t{128} << 10;
constexpr size_t HugePage = size_t{2} << 20;

// A mapping that starts on a huge-page boundary, so that all of it can be
// backed by huge pages, not just the aligned middle; null when it fails.
void* MapAligned(size_t bytes) {
    const size_t padded = bytes + HugePage;
    void* memory = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t aligned = (start + HugePage - 1) & ~uintptr_t{HugePage - 1};
    if (aligned > start) munmap(memory, aligned - start);
    const size_t tail = padded - (aligned - start) - bytes;
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    return reinterpret_cast<void*>(aligned);
}
}  // namespace

IntArray::IntArray(int64_t count) {
    if (count < 0 || static_cast<uint64_t>(count) > (SIZE_MAX - HugePage) / sizeof(int32_t)) return;
    const size_t bytes = static_cast<size_t>(count) * sizeof(int32_t);
    if (bytes < MapThreshold) {
        data_ = new (std::nothrow) int32_t[count > 0 ? static_cast<size_t>(count) : 1];
        return;
    }
    void* memory = MapAligned(bytes);
    if (memory == nullptr) return;
    madvise(memory, bytes, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    // One call maps every page; faulting them one by one as the reads land costs
    // far more, above all under a hypervisor.
    madvise(memory, bytes, MADV_POPULATE_WRITE);
#endif
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

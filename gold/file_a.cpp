#include "gold/file_a.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gold/page_memory.h"

namespace quorix {

// Four words at a time with the base x86-64 instruction set (the compiler keeps
// a bswap loop scalar there): bytes swapped within each half, then the halves.
void ReverseWords(void* words, size_t count) {
    auto* bytes = static_cast<unsigned char*>(words);
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        auto* at = reinterpret_cast<__m128i*>(bytes + 4 * i);
        __m128i v = _mm_loadu_si128(at);
        v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
        v = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xB1), 0xB1);
        _mm_storeu_si128(at, v);
    }
#endif
    for (; i < count; ++i) {
        uint32_t word;
        std::memcpy(&word, bytes + 4 * i, 4);
        word = __builtin_bswap32(word);
        std::memcpy(bytes + 4 * i, &word, 4);
    }
}

// Sixteen at a time in byte counters, summed before they can overflow (the
// compiler keeps std::count scalar here).
int64_t CountLineEnds(const char* first, const char* last) {
    int64_t n = 0;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    while (last - first >= 16) {
        const char* stop = first + 16 * std::min<ptrdiff_t>((last - first) / 16, 255);
        __m128i counts = _mm_setzero_si128();
        for (; first != stop; first += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, newline));
        }
        alignas(16) uint64_t sums[2];
        _mm_store_si128(reinterpret_cast<__m128i*>(sums), _mm_sad_epu8(counts, _mm_setzero_si128()));
        n += static_cast<int64_t>(sums[0] + sums[1]);
    }
#endif
    return n + static_cast<int64_t>(std::count(first, last, '\n'));
}

namespace {

// Large enough that one read call covers many records; line skipping and bulk
// array reads work straight on it. One huge page: small pages cost a trap each
// on first touch under a shadow-paging hypervisor. Small files use only as
// much of it as they hold, and it passes from file to file (ScratchArray).
constexpr size_t BufferCapacity = HugePageBytes;
constexpr size_t SmallestBuffer = size_t{1} << 16;
constexpr size_t FirstRead = 4096;

// Lines are counted a chunk at a time, so only the chunk where a count runs
// out is walked line by line.
constexpr ptrdiff_t SkipChunk = 4096;

}  // namespace

struct File_a::Impl {
    int fd = -1;
    ByteOrder byteOrder = BigEndian;
    int64_t fileSize = 0;
    size_t capacity = BufferCapacity;
    ScratchArray<char> buffer;
    int64_t bufferStart = 0;  // file offset of buffer[0]; the descriptor stands at bufferStart + length
    size_t length = 0;
    size_t position = 0;
    // Bytes the next refill asks for: small after a seek (a scan that seeks
    // over arrays reads only the next header), doubling while reading on.
    size_t nextRead = FirstRead;
    bool eof = false;
    bool error = false;
    std::string longLine;  // holds a line that does not fit in the buffer

    char* Buffer() const { return buffer.get(); }
    size_t Available() const { return length - position; }
    const char* Current() const { return Buffer() + position; }

    // Raw read that survives EINTR and short reads.
    ssize_t ReadRaw(char* destination, size_t n) {
        size_t done = 0;
        while (done < n) {
            ssize_t got = ::read(fd, destination + done, n - done);
            if (got < 0) {
                if (errno == EINTR) continue;
                error = true;
                return done > 0 ? static_cast<ssize_t>(done) : -1;
            }
            if (got == 0) {
                eof = true;
                break;
            }
            done += static_cast<size_t>(got);
        }
        return static_cast<ssize_t>(done);
    }

    // Keeps the unread tail, appends what the file has; false when nothing new came.
    bool Refill() {
        if (eof || error) return false;
        if (position > 0) {
            size_t keep = Available();
            std::memmove(Buffer(), Buffer() + position, keep);
            bufferStart += static_cast<int64_t>(position);
            length = keep;
            position = 0;
        }
        if (length == capacity) return false;
        ssize_t got = ReadRaw(Buffer() + length, std::min(capacity - length, nextRead));
        nextRead = std::min(capacity, 2 * nextRead);
        if (got <= 0) return false;
        length += static_cast<size_t>(got);
        return true;
    }

    void Drop(int64_t newStart) {
        bufferStart = newStart;
        length = position = 0;
    }
    void DropAfterSeek(int64_t newStart) {
        Drop(newStart);
        nextRead = FirstRead;
    }

    size_t ReadInto(char* destination, size_t n) {
        size_t done = std::min(n, Available());
        std::memcpy(destination, Current(), done);
        position += done;
        if (done == n) return done;
        if (n - done >= capacity / 2) {
            // Big arrays go straight to their destination, past the buffer.
            Drop(bufferStart + static_cast<int64_t>(length));
            ssize_t got = ReadRaw(destination + done, n - done);
            if (got > 0) {
                done += static_cast<size_t>(got);
                bufferStart += got;
            }
            return done;
        }
        while (done < n && (Available() > 0 || Refill())) {
            size_t part = std::min(n - done, Available());
            std::memcpy(destination + done, Current(), part);
            position += part;
            done += part;
        }
        return done;
    }
};

File_a* File_a::Open(const std::string& path, const char* mode, ByteOrder byteOrder, OpenFailure* failure) {
    (void)mode;  // POSIX makes no difference between text and binary reads
    const OpenedFile opened = OpenRegularFile(path.c_str());
    if (failure != nullptr) *failure = opened.failure;
    if (opened.fd < 0) return nullptr;
    auto* file = new File_a();
    file->impl_ = new Impl();
    file->impl_->fd = opened.fd;
    file->impl_->byteOrder = byteOrder;
    file->impl_->fileSize = opened.size;
    uint64_t wanted = static_cast<uint64_t>(file->impl_->fileSize) + 1;
    file->impl_->capacity = static_cast<size_t>(std::clamp<uint64_t>(wanted, SmallestBuffer, BufferCapacity));
    file->impl_->buffer = ScratchArray<char>(BufferCapacity);  // whatever the file size: the thread's spare fits
    if (!file->impl_->buffer) {
        delete file;
        if (failure != nullptr) *failure = OpenFailure::CannotOpen;
        return nullptr;
    }
    return file;
}

int File_a::Close(File_a*& file) {
    if (file == nullptr) return -1;
    int result = -1;
    if (file->impl_ != nullptr && file->impl_->fd >= 0) {
        result = ::close(file->impl_->fd) == 0 ? 0 : -1;
        file->impl_->fd = -1;
    }
    delete file;
    file = nullptr;
    return result;
}

File_a::~File_a() {
    if (impl_ != nullptr && impl_->fd >= 0) ::close(impl_->fd);
    delete impl_;
}

int64_t File_a::FileSize() const { return impl_->fileSize; }
int64_t File_a::BytesLeft() const {
    const int64_t at = Tell();
    return at < 0 || at > impl_->fileSize ? 0 : impl_->fileSize - at;
}
ByteOrder File_a::GetByteOrder() const { return impl_->byteOrder; }
void File_a::SetByteOrder(ByteOrder byteOrder) { impl_->byteOrder = byteOrder; }

bool File_a::Seek(int64_t offset, int origin) {
    int64_t base = 0;
    if (origin == 1) {
        base = Tell();
    } else if (origin == 2) {
        base = impl_->fileSize;
    } else if (origin != 0) {
        return false;
    }
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return false;
    int64_t target = base + offset;
    impl_->eof = false;
    impl_->error = false;
    int64_t end = impl_->bufferStart + static_cast<int64_t>(impl_->length);
    if (target >= impl_->bufferStart && target <= end) {
        impl_->position = static_cast<size_t>(target - impl_->bufferStart);
        return true;
    }
    if (::lseek(impl_->fd, static_cast<off_t>(target), SEEK_SET) < 0) return false;
    impl_->DropAfterSeek(target);
    return true;
}

int64_t File_a::Tell() const { return impl_->bufferStart + static_cast<int64_t>(impl_->position); }

void File_a::Rewind() { Seek(0, 0); }

bool File_a::IsEof() const { return impl_->eof && impl_->Available() == 0; }
bool File_a::HasError() const { return impl_->error; }

size_t File_a::Read(void* destination, size_t itemSize, size_t itemCount) {
    if (itemSize == 0 || itemCount == 0) return 0;
    if (itemCount > SIZE_MAX / itemSize) return 0;
    size_t bytes = impl_->ReadInto(static_cast<char*>(destination), itemSize * itemCount);
    return bytes / itemSize;
}

char* File_a::ReadLine(char* destination, int capacity) {
    if (capacity < 1) return nullptr;
    size_t room = static_cast<size_t>(capacity - 1);
    size_t done = 0;
    bool newline = false;
    while (done < room && !newline) {
        if (impl_->Available() == 0 && !impl_->Refill()) break;
        size_t part = std::min(room - done, impl_->Available());
        const char* start = impl_->Current();
        if (const void* hit = std::memchr(start, '\n', part)) {
            part = static_cast<size_t>(static_cast<const char*>(hit) - start) + 1;
            newline = true;
        }
        std::memcpy(destination + done, start, part);
        impl_->position += part;
        done += part;
    }
    if (done == 0 && room > 0) return nullptr;
    destination[done] = '\0';
    return destination;
}

bool File_a::NextLine(std::string_view& line, size_t maxLength, bool* tooLong) {
    if (tooLong != nullptr) *tooLong = false;
    Impl& f = *impl_;
    size_t scanned = 0;
    for (;;) {
        const char* start = f.Current();
        size_t available = f.Available();
        if (const void* hit = std::memchr(start + scanned, '\n', available - scanned)) {
            size_t n = static_cast<size_t>(static_cast<const char*>(hit) - start) + 1;
            if (n > maxLength) break;
            line = std::string_view(start, n);
            f.position += n;
            return true;
        }
        scanned = available;
        if (scanned > maxLength) break;
        if (f.position == 0 && f.length == f.capacity) return LongLine(line, maxLength, tooLong);
        if (!f.Refill()) {
            if (f.Available() == 0) return false;
            line = std::string_view(f.Current(), f.Available());  // last line without its end
            f.position = f.length;
            return true;
        }
    }
    if (tooLong != nullptr) *tooLong = true;
    return false;
}

std::string_view File_a::BufferedLines() {
    Impl& f = *impl_;
    for (;;) {
        if (f.Available() > 0) {
            if (const void* hit = ::memrchr(f.Current(), '\n', f.Available()))
                return std::string_view(f.Current(), static_cast<size_t>(static_cast<const char*>(hit) - f.Current()) + 1);
        }
        if (!f.Refill()) return {};
    }
}

void File_a::Consume(size_t n) { impl_->position += std::min(n, impl_->Available()); }

bool File_a::LongLine(std::string_view& line, size_t maxLength, bool* tooLong) {
    Impl& f = *impl_;
    f.longLine.clear();
    for (;;) {
        const char* start = f.Current();
        const void* hit = std::memchr(start, '\n', f.Available());
        size_t n = hit != nullptr ? static_cast<size_t>(static_cast<const char*>(hit) - start) + 1 : f.Available();
        if (f.longLine.size() + n > maxLength) {
            if (tooLong != nullptr) *tooLong = true;
            return false;
        }
        f.longLine.append(start, n);
        f.position += n;
        if (hit != nullptr || (f.Available() == 0 && !f.Refill())) break;
    }
    line = f.longLine;
    return true;
}

bool File_a::ReadWholeLine(std::string& line, size_t maxLength, bool* tooLong) {
    std::string_view view;
    if (!NextLine(view, maxLength, tooLong)) return false;
    line.assign(view);
    return true;
}

bool File_a::SkipLines(int64_t count) {
    Impl& f = *impl_;
    bool partial = false;  // characters of an unfinished line were passed
    while (count > 0) {
        if (f.Available() == 0) {
            f.Drop(f.bufferStart + static_cast<int64_t>(f.length));
            if (!f.Refill()) return partial && count == 1;
        }
        const char* p = f.Current();
        const char* end = p + f.Available();
        const char* chunkEnd = p;
        for (; p != end; p = chunkEnd) {
            chunkEnd = p + std::min(end - p, SkipChunk);
            const int64_t ends = CountLineEnds(p, chunkEnd);
            if (ends >= count) break;
            count -= ends;
        }
        if (p == end) {
            partial = end[-1] != '\n';
            f.position = f.length;
            continue;
        }
        for (; count > 0; --count) p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(chunkEnd - p))) + 1;
        f.position = static_cast<size_t>(p - f.Buffer());
    }
    return true;
}

int64_t File_a::ReadAt(int64_t offset, void* destination, size_t n) const {
    for (;;) {
        const ssize_t got = ::pread(impl_->fd, destination, n, static_cast<off_t>(offset));
        if (got >= 0 || errno != EINTR) return got;
    }
}

bool File_a::ReadBytes(void* destination, size_t n) { return n == 0 || Read(destination, n, 1) == 1; }

bool File_a::ReadInt32Array(int32_t* destination, int64_t count) { return ReadWords(destination, count); }

bool File_a::ReadFloat32Array(float* destination, int64_t count) { return ReadWords(destination, count); }

bool File_a::ReadWords(void* destination, int64_t count) {
    if (count == 0) return true;
    if (count < 0 || static_cast<uint64_t>(count) > SIZE_MAX / 4) return false;
    size_t words = Read(destination, 4, static_cast<size_t>(count));
    if (impl_->byteOrder != NativeByteOrder()) ReverseWords(destination, words);
    return words == static_cast<size_t>(count);
}

}  // namespace quorix

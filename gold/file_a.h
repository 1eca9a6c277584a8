// One open data file: buffered reads, 64-bit positions, 4-byte words in
// either byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "casefile/byte_order.h"
#include "casefile/regular_file.h"

namespace quorix {

// Reverses the bytes of each of `count` 4-byte words in place; any alignment.
void ReverseWords(void* words, size_t count);
inline int32_t SwappedInt32(int32_t value) {
    ReverseWords(&value, 1);
    return value;
}
// '\n' bytes in [first, last).
int64_t CountLineEnds(const char* first, const char* last);

class File_a {
public:
    // Opens `path` ("r" or "rb"); null when it cannot be opened, with `failure` telling why when given.
    static File_a* Open(const std::string& path, const char* mode, ByteOrder byteOrder, OpenFailure* failure = nullptr);
    // Closes and destroys the file, empties the pointer; 0 on success, -1 when nothing was open.
    static int Close(File_a*& file);
    virtual ~File_a();

    int64_t FileSize() const;
    int64_t BytesLeft() const;  // from the current position to the end of the file
    ByteOrder GetByteOrder() const;
    void SetByteOrder(ByteOrder byteOrder);
    bool Seek(int64_t offset, int origin);  // origin 0 start, 1 current, 2 end
    int64_t Tell() const;
    void Rewind();
    bool IsEof() const;
    bool HasError() const;  // a read failed for another reason than the end of the file

    size_t Read(void* destination, size_t itemSize, size_t itemCount);
    // Standard line read: at most capacity-1 characters, newline kept, NUL-terminated; null at end or error.
    char* ReadLine(char* destination, int capacity);
    // Whole line, line end kept, up to maxLength bytes (longer: false with `tooLong`); false at end of file.
    bool ReadWholeLine(std::string& line, size_t maxLength, bool* tooLong = nullptr);
    // As ReadWholeLine without copying: `line` points into the file's buffer and
    // stays valid until the next read, seek or close.
    bool NextLine(std::string_view& line, size_t maxLength, bool* tooLong = nullptr);
    // The whole lines buffered at the current position, refilling when there is
    // none, without passing them; empty at the end of the file and when the next
    // line does not fit the buffer (NextLine takes those). Valid until the next
    // read, seek or close.
    std::string_view BufferedLines();
    // Passes `n` bytes of what BufferedLines gave.
    void Consume(size_t n);
    // Passes `count` lines without converting them; false when the file ends first.
    bool SkipLines(int64_t count);
    // Up to `n` bytes from `offset` without moving the position, safe on several
    // threads at once; the count read, -1 when a read fails.
    int64_t ReadAt(int64_t offset, void* destination, size_t n) const;
    bool ReadBytes(void* destination, size_t n);
    bool ReadInt32Array(int32_t* destination, int64_t count);
    bool ReadFloat32Array(float* destination, int64_t count);

private:
    File_a() = default;
    bool LongLine(std::string_view& line, size_t maxLength, bool* tooLong);
    bool ReadWords(void* destination, int64_t count);
    struct Impl;
    Impl* impl_ = nullptr;
};

}  // namespace quorix

#include "gold/skip_far_lines.h"

#include <algorithm>
#include <string_view>
#include <system_error>
#include <thread>

#include "gold/page_memory.h"

namespace quorix {
namespace {

// A skip of this much text or more counts its line ends on two threads (a
// thread starts in well under the time a core takes to count it).
constexpr int64_t FarSkipBytes = int64_t{2} << 20;
// Read at a time: stays in the cache, and under the page-map threshold, so a
// new helper thread's buffer comes from pages the heap already touched.
constexpr int64_t CountBytes = int64_t{64} << 10;

// '\n' bytes in [first, last) of the file, read on the calling thread into
// memory of its own; -1 when a read fails or the file is shorter.
int64_t CountLineEndsAt(const File_a& file, int64_t first, int64_t last) {
    const ScratchArray<char> buffer(CountBytes);
    if (!buffer) return -1;
    int64_t ends = 0;
    while (first < last) {
        const int64_t got = file.ReadAt(first, buffer.get(), static_cast<size_t>(std::min(last - first, CountBytes)));
        if (got <= 0) return -1;
        ends += CountLineEnds(buffer.get(), buffer.get() + got);
        first += got;
    }
    return ends;
}

// Where `count` lines of the current line's length would end, the text is
// split in halves whose line ends two threads count at once. The counts then
// tell which whole halves lie before the last line end wanted: the file passes
// them and `count` drops by their line ends; the rest is walked as usual.
// Nothing moves when the skip is short, the machine has one core, or a read fails.
void PassWholeHalves(File_a& file, int64_t& count) {
    const std::string_view lines = file.BufferedLines();
    if (lines.empty()) return;
    const int64_t lineLength = static_cast<int64_t>(lines.find('\n')) + 1;
    const int64_t start = file.Tell();
    // Short of the file's end, so that walking on reads the last line's end (or its lack).
    if (count >= (file.FileSize() - start) / lineLength || count * lineLength < FarSkipBytes) return;
    static const bool twoCores = std::thread::hardware_concurrency() >= 2;
    if (!twoCores) return;
    const int64_t end = start + count * lineLength;
    const int64_t middle = start + (end - start) / 2;
    int64_t second = -1;
    std::thread helper;
    try {
        helper = std::thread([&] { second = CountLineEndsAt(file, middle, end); });
    } catch (const std::system_error&) {
        return;
    }
    const int64_t first = CountLineEndsAt(file, start, middle);
    helper.join();
    if (first < 0 || second < 0 || first >= count) return;
    char last = 0;
    const bool endsLine = first + second == count && file.ReadAt(end - 1, &last, 1) == 1 && last == '\n';
    if ((first + second < count || endsLine) && file.Seek(end, 0)) {
        count -= first + second;
    } else if (file.Seek(middle, 0)) {
        count -= first;  // the wanted line end lies in the second half
    }
}

}  // namespace

bool SkipFarLines(File_a& file, int64_t count) {
    if (count > 0) PassWholeHalves(file, count);
    return file.SkipLines(count);
}

}  // namespace quorix

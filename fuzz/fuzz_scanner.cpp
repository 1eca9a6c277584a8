// Bytes -> a text and a sequence of scanner operations, marks and setText
// included; the position must stay inside the text and loops must end.
#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "casefile/scanner.h"

namespace {

using zelvane::strutil::Scanner;

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    std::string_view take(size_t n) {
        n = n < size_ - at_ ? n : size_ - at_;
        const std::string_view piece(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return piece;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

constexpr std::string_view DelimiterSets[] = {"", " \t\n\r", ":\t\r\n", ": \t", ",", "\n\r", "e"};

std::string_view Delimiters(Bytes& bytes) { return DelimiterSets[bytes.next() % std::size(DelimiterSets)]; }

void Check(const Scanner& scanner) {
    if (scanner.position() > scanner.text().size()) __builtin_trap();
    if (scanner.text().find('\0') != std::string::npos) __builtin_trap();
}

void Apply(Scanner& scanner, Bytes& bytes, std::string_view text) {
    const uint8_t op = bytes.next();
    const char c = static_cast<char>(bytes.next());
    volatile int64_t sink = 0;
    volatile double real = 0.0;
    switch (op % 32) {
        case 0: scanner.setText(text.substr(bytes.next() % (text.size() + 1)), Delimiters(bytes)); break;
        case 1: scanner.setText(text.substr(0, bytes.next())); break;
        case 2: scanner.rewind(); break;
        case 3: scanner.pushMark(); break;
        case 4: scanner.dropMark(); break;
        case 5: scanner.cutToMark(); break;
        case 6: scanner.popMark(); break;
        case 7: sink = scanner.hasToken(Delimiters(bytes)) + scanner.hasToken(c) + scanner.hasToken(); break;
        case 8: sink = scanner.isIntToken(Delimiters(bytes)) + scanner.isIntToken(c) + scanner.isIntToken(); break;
        case 9: sink = scanner.isDoubleToken(Delimiters(bytes)) + scanner.isDoubleToken(c) + scanner.isDoubleToken(); break;
        case 10: sink = scanner.tokenStartsWith(bytes.take(2), Delimiters(bytes)) + scanner.tokenStartsWith("a", c); break;
        case 11: sink = scanner.tokenEndsWith(bytes.take(2), Delimiters(bytes)) + scanner.tokenEndsWith("1"); break;
        case 12: sink = scanner.tokenContains(bytes.take(2), c) + scanner.tokenContains(":"); break;
        case 13: sink = scanner.isChar(c) + scanner.hasMore() + scanner.lookingAt(bytes.take(3)); break;
        case 14: sink = scanner.intFollows() + scanner.doubleFollows() + scanner.lineEndFollows(); break;
        case 15: sink = scanner.skipTokens(static_cast<int8_t>(c)); break;
        case 16: sink = static_cast<int64_t>(scanner.nextToken(Delimiters(bytes)).size()); break;
        case 17: sink = static_cast<int64_t>(scanner.peekToken(c).size() + scanner.nextToken().size()); break;
        case 18: sink = int64_t{scanner.nextInt(Delimiters(bytes))} + scanner.nextInt(c) + scanner.nextInt(); break;
        case 19: real = scanner.nextDouble(Delimiters(bytes)) + scanner.nextDouble(c) + scanner.nextDouble(); break;
        case 20: scanner.skipWhitespace(); scanner.skip(Delimiters(bytes)); scanner.skip(c); scanner.skip(); break;
        case 21: sink = scanner.getChar() + scanner.peekChar(); break;
        case 22: sink = static_cast<int64_t>(scanner.peekString(static_cast<int8_t>(c)).size()); break;
        case 23: sink = static_cast<int64_t>(scanner.nextString(static_cast<int8_t>(c)).size()); break;
        case 24: sink = static_cast<int64_t>(scanner.rest().size()); break;
        case 25: sink = scanner.parseInt(); real = scanner.parseDouble(); break;
        case 26: sink = static_cast<int64_t>(scanner.nextLine().size()); break;
        case 27: sink = scanner.skipPast(bytes.take(2)); break;
        case 28: {
            Scanner copy = scanner;
            copy.popMark();
            scanner = copy;
            break;
        }
        case 29: {
            std::vector<std::string> pieces;
            sink = zelvane::strutil::splitFixedWidth(text, pieces, static_cast<int8_t>(c));
            break;
        }
        case 30: {  // every token loop must end
            int64_t guard = 0;
            while (scanner.hasMore() && ++guard <= static_cast<int64_t>(text.size()) + 2) scanner.nextToken();
            if (scanner.hasMore() && scanner.hasToken()) __builtin_trap();
            break;
        }
        default: {
            int64_t guard = 0;
            while (scanner.hasMore()) {
                scanner.nextLine();
                if (++guard > static_cast<int64_t>(text.size()) + 2) __builtin_trap();
            }
            break;
        }
    }
    (void)sink;
    (void)real;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    Bytes bytes(data, size);
    const size_t textLength = bytes.next();
    const std::string text(bytes.take(textLength));
    Scanner scanner(text, Delimiters(bytes));
    for (int steps = 0; !bytes.empty() && steps < 256; ++steps) {
        Apply(scanner, bytes, text);
        Check(scanner);
    }
    return 0;
}

#include "casefile/scanner.h"

#include <algorithm>
#include <limits>

#include "casefile/text_number.h"

namespace zelvane::strutil {
namespace {

// The C-string scans of the line readers stop at the first NUL; so does the text here,
// which also keeps every position within 32 bits.
std::string_view UpToNul(std::string_view text) {
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    constexpr size_t maxLength = std::numeric_limits<uint32_t>::max() - 1;
    return text.size() > maxLength ? text.substr(0, maxLength) : text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

CharSet::CharSet(std::string_view chars) {
    for (char c : chars) {
        const auto u = static_cast<unsigned char>(c);
        bits_[u >> 6] |= uint64_t{1} << (u & 63);
    }
}

Scanner::Scanner() : Scanner(std::string_view(), Whitespace) {}
Scanner::Scanner(std::string_view text) : Scanner(text, Whitespace) {}
Scanner::Scanner(std::string_view text, char delimiter) : Scanner(text, std::string_view(&delimiter, 1)) {}
Scanner::Scanner(std::string_view text, std::string_view delimiters) { setText(text, delimiters); }

void Scanner::setDelimiters(std::string_view delimiters) {
    delimiters_.assign(delimiters);
    ownSet_ = CharSet(delimiters);
}

void Scanner::setText(std::string_view text, std::string_view delimiters) {
    setText(text);
    setDelimiters(delimiters);
}

void Scanner::setText(std::string_view text) {
    text_.assign(UpToNul(text));
    position_ = 0;
}

void Scanner::pushMark() { marks_.push_back(position_); }

void Scanner::dropMark() {
    if (!marks_.empty()) marks_.pop_back();
}

void Scanner::popMark() {
    if (marks_.empty()) return;
    position_ = std::min<uint32_t>(marks_.back(), static_cast<uint32_t>(text_.size()));
    marks_.pop_back();
}

void Scanner::cutToMark() {
    if (marks_.empty()) return;
    const auto size = static_cast<uint32_t>(text_.size());
    const uint32_t mark = std::min(marks_.back(), size);
    marks_.pop_back();
    const uint32_t low = std::min(mark, position_);
    const uint32_t high = std::max(mark, position_);
    text_.erase(low, high - low);
    position_ = low;
}

Scanner::Span Scanner::findToken(const CharSet& delimiters) const {
    const auto size = static_cast<uint32_t>(text_.size());
    uint32_t begin = position_;
    while (begin < size && delimiters.contains(text_[begin])) ++begin;
    uint32_t end = begin;
    while (end < size && !delimiters.contains(text_[end])) ++end;
    return {begin, end};
}

Scanner::Span Scanner::findToken(std::string_view delimiters) const {
    if (delimiters.empty()) return {position_, hasMore() ? position_ + 1 : position_};
    return findToken(CharSet(delimiters));
}

bool Scanner::hasToken(std::string_view delimiters) const {
    const Span span = findToken(delimiters);
    return span.end > span.begin;
}
bool Scanner::hasToken(char delimiter) const { return hasToken(std::string_view(&delimiter, 1)); }
bool Scanner::hasToken() const { return hasToken(delimiters_); }

bool Scanner::isIntToken(std::string_view delimiters) const {
    const Span span = findToken(delimiters);
    if (span.end == span.begin) return false;
    const quorix::IntResult number = quorix::ParseInt32(at(span.begin), at(span.end));
    return number.ok && number.end == at(span.end);
}
bool Scanner::isIntToken(char delimiter) const { return isIntToken(std::string_view(&delimiter, 1)); }
bool Scanner::isIntToken() const { return isIntToken(delimiters_); }

bool Scanner::isDoubleToken(std::string_view delimiters) const {
    const Span span = findToken(delimiters);
    if (span.end == span.begin) return false;
    const quorix::RealResult number = quorix::ParseReal(at(span.begin), at(span.end));
    return number.ok && number.end == at(span.end);
}
bool Scanner::isDoubleToken(char delimiter) const { return isDoubleToken(std::string_view(&delimiter, 1)); }
bool Scanner::isDoubleToken() const { return isDoubleToken(delimiters_); }

bool Scanner::tokenStartsWith(std::string_view s, std::string_view delimiters) const {
    return hasToken() && peekTokenView(delimiters).starts_with(s);
}
bool Scanner::tokenStartsWith(std::string_view s, char delimiter) const {
    return tokenStartsWith(s, std::string_view(&delimiter, 1));
}
bool Scanner::tokenStartsWith(std::string_view s) const { return tokenStartsWith(s, delimiters_); }

bool Scanner::tokenEndsWith(std::string_view s, std::string_view delimiters) const {
    const std::string_view token = peekTokenView(delimiters);
    return !token.empty() && token.ends_with(s);
}
bool Scanner::tokenEndsWith(std::string_view s, char delimiter) const {
    return tokenEndsWith(s, std::string_view(&delimiter, 1));
}
bool Scanner::tokenEndsWith(std::string_view s) const { return tokenEndsWith(s, delimiters_); }

bool Scanner::tokenContains(std::string_view s, std::string_view delimiters) const {
    const std::string_view token = peekTokenView(delimiters);
    return !token.empty() && token.find(s) != std::string_view::npos;
}
bool Scanner::tokenContains(std::string_view s, char delimiter) const {
    return tokenContains(s, std::string_view(&delimiter, 1));
}
bool Scanner::tokenContains(std::string_view s) const { return tokenContains(s, delimiters_); }

bool Scanner::lookingAt(std::string_view s) const { return std::string_view(text_).substr(position_).starts_with(s); }

bool Scanner::intFollows() const { return quorix::ParseInt32(at(position_), at(static_cast<uint32_t>(text_.size()))).ok; }

bool Scanner::doubleFollows() const {
    return quorix::ParseReal(at(position_), at(static_cast<uint32_t>(text_.size()))).ok;
}

bool Scanner::lineEndFollows() const { return text_.find_first_of(LineEnds, position_) != std::string::npos; }

bool Scanner::skipTokens(int n) {
    for (int i = 0; i < n; ++i) {
        const Span span = delimiters_.empty() ? findToken(delimiters_) : findToken(ownSet_);
        if (span.end == span.begin) return false;
        position_ = span.end;
    }
    return true;
}

std::string_view Scanner::nextTokenView(std::string_view delimiters) {
    const Span span = findToken(delimiters);
    position_ = span.end;
    return view(span);
}
std::string_view Scanner::nextTokenView() {
    const Span span = delimiters_.empty() ? findToken(delimiters_) : findToken(ownSet_);
    position_ = span.end;
    return view(span);
}
std::string_view Scanner::peekTokenView(std::string_view delimiters) const { return view(findToken(delimiters)); }
std::string_view Scanner::peekTokenView() const {
    return view(delimiters_.empty() ? findToken(delimiters_) : findToken(ownSet_));
}

std::string Scanner::nextToken(std::string_view delimiters) { return std::string(nextTokenView(delimiters)); }
std::string Scanner::nextToken(char delimiter) { return nextToken(std::string_view(&delimiter, 1)); }
std::string Scanner::nextToken() { return std::string(nextTokenView()); }
std::string Scanner::peekToken(std::string_view delimiters) const { return std::string(peekTokenView(delimiters)); }
std::string Scanner::peekToken(char delimiter) const { return peekToken(std::string_view(&delimiter, 1)); }
std::string Scanner::peekToken() const { return std::string(peekTokenView()); }

namespace {

int32_t WholeInt(std::string_view token) {
    const quorix::IntResult number = quorix::ParseInt32(token.data(), token.data() + token.size());
    return number.ok && number.end == token.data() + token.size() ? number.value : 0;
}

double WholeReal(std::string_view token) {
    const quorix::RealResult number = quorix::ParseReal(token.data(), token.data() + token.size());
    return number.ok && number.end == token.data() + token.size() ? number.value : 0.0;
}

}  // namespace

int32_t Scanner::nextInt(std::string_view delimiters) { return WholeInt(nextTokenView(delimiters)); }
int32_t Scanner::nextInt(char delimiter) { return nextInt(std::string_view(&delimiter, 1)); }
int32_t Scanner::nextInt() { return WholeInt(nextTokenView()); }
double Scanner::nextDouble(std::string_view delimiters) { return WholeReal(nextTokenView(delimiters)); }
double Scanner::nextDouble(char delimiter) { return nextDouble(std::string_view(&delimiter, 1)); }
double Scanner::nextDouble() { return WholeReal(nextTokenView()); }

void Scanner::skip(std::string_view delimiters) { skip(CharSet(delimiters)); }
void Scanner::skip(char delimiter) { skip(std::string_view(&delimiter, 1)); }
void Scanner::skip() { skip(ownSet_); }
void Scanner::skipWhitespace() {
    static const CharSet whitespace(Whitespace);
    skip(whitespace);
}

void Scanner::skip(const CharSet& delimiters) {
    const auto size = static_cast<uint32_t>(text_.size());
    while (position_ < size && delimiters.contains(text_[position_])) ++position_;
}

char Scanner::getChar() {
    const char c = peekChar();
    if (hasMore()) ++position_;
    return c;
}

std::string Scanner::peekString(int n) const {
    if (n <= 0) return std::string();
    return text_.substr(position_, static_cast<size_t>(n));
}

std::string Scanner::nextString(int n) {
    std::string piece = peekString(n);
    position_ += static_cast<uint32_t>(piece.size());
    return piece;
}

std::string Scanner::rest() {
    std::string tail = text_.substr(position_);
    position_ = static_cast<uint32_t>(text_.size());
    return tail;
}

int32_t Scanner::parseInt() {
    const quorix::IntResult number = quorix::ParseInt32(at(position_), at(static_cast<uint32_t>(text_.size())));
    if (!number.ok) return 0;
    position_ = static_cast<uint32_t>(number.end - text_.data());
    return number.value;
}

double Scanner::parseDouble() {
    const quorix::RealResult number = quorix::ParseReal(at(position_), at(static_cast<uint32_t>(text_.size())));
    if (!number.ok) return 0.0;
    position_ = static_cast<uint32_t>(number.end - text_.data());
    return number.value;
}

std::string Scanner::nextLine() {
    const auto size = static_cast<uint32_t>(text_.size());
    uint32_t end = position_;
    while (end < size && text_[end] != '\n' && text_[end] != '\r') ++end;
    std::string line = text_.substr(position_, end - position_);
    if (end < size) end += (text_[end] == '\r' && end + 1 < size && text_[end + 1] == '\n') ? 2 : 1;
    position_ = end;
    return line;
}

bool Scanner::skipPast(std::string_view s) {
    const size_t found = text_.find(s, position_);
    if (found == std::string::npos) return false;
    const size_t lineEnd = std::min(text_.find_first_of(LineEnds, position_), text_.size());
    if (found > lineEnd) return false;
    position_ = static_cast<uint32_t>(found + s.size());
    return true;
}

std::string toLowerCopy(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = AsciiLower(c);
    return lower;
}

int split(std::string_view text, std::vector<std::string>& out, std::string_view delimiters) {
    out.clear();
    size_t begin = text.find_first_not_of(delimiters);
    while (begin != std::string_view::npos) {
        const size_t end = std::min(text.find_first_of(delimiters, begin), text.size());
        out.emplace_back(text.substr(begin, end - begin));
        begin = text.find_first_not_of(delimiters, end);
    }
    return static_cast<int>(out.size());
}

int splitFixedWidth(std::string_view text, std::vector<std::string>& out, int width) {
    out.clear();
    if (width < 1) return 0;
    text = UpToNul(text);
    const size_t lineEnd = std::min(text.find_first_of(Scanner::LineEnds), text.size());
    for (size_t start = 0; start < lineEnd; start += static_cast<size_t>(width)) {
        out.emplace_back(text.substr(start, static_cast<size_t>(width)));
    }
    return static_cast<int>(out.size());
}

}  // namespace zelvane::strutil

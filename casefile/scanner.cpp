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

void Scanner::setText(std::string_view text, std::string_view delimiters) {
    setText(text);
    delimiters_.assign(delimiters);
    own_ = Make(delimiters);
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

uint32_t Scanner::tokenBegin(const Delimiters& delimiters) const {
    const auto size = static_cast<uint32_t>(text_.size());
    uint32_t begin = position_;
    if (!delimiters.empty) {
        while (begin < size && delimiters.set.contains(text_[begin])) ++begin;
    }
    return begin;
}

Scanner::Span Scanner::findToken(const Delimiters& delimiters) const {
    const auto size = static_cast<uint32_t>(text_.size());
    if (delimiters.empty) {
        const uint32_t begin = tokenBegin(delimiters);
        return {begin, begin < size ? begin + 1 : begin};
    }
    std::string_view rest = std::string_view(text_).substr(position_);
    const std::string_view token = takeToken(rest, delimiters.set);
    const auto begin = static_cast<uint32_t>(token.data() - text_.data());
    return {begin, begin + static_cast<uint32_t>(token.size())};
}

std::string_view takeToken(std::string_view& rest, const CharSet& delimiters) {
    size_t begin = 0;
    while (begin < rest.size() && delimiters.contains(rest[begin])) ++begin;
    size_t end = begin;
    while (end < rest.size() && !delimiters.contains(rest[end])) ++end;
    const std::string_view token = rest.substr(begin, end - begin);
    rest.remove_prefix(end);
    return token;
}

std::string_view nextToken(std::string_view& rest, std::string_view delimiters) {
    return takeToken(rest, CharSet(delimiters));
}

bool Scanner::isIntIn(const Delimiters& delimiters) const {
    const Span span = findToken(delimiters);
    if (span.end == span.begin) return false;
    const quorix::IntResult number = quorix::ParseInt32(at(span.begin), at(span.end));
    return number.ok && number.end == at(span.end);
}

bool Scanner::isDoubleIn(const Delimiters& delimiters) const {
    const Span span = findToken(delimiters);
    if (span.end == span.begin) return false;
    const quorix::RealResult number = quorix::ParseReal(at(span.begin), at(span.end));
    return number.ok && number.end == at(span.end);
}

bool Scanner::endsWithIn(std::string_view s, const Delimiters& delimiters) const {
    const std::string_view token = peekIn(delimiters);
    return !token.empty() && token.ends_with(s);
}

bool Scanner::containsIn(std::string_view s, const Delimiters& delimiters) const {
    const std::string_view token = peekIn(delimiters);
    return !token.empty() && token.find(s) != std::string_view::npos;
}

std::string_view Scanner::nextIn(const Delimiters& delimiters) {
    const Span span = findToken(delimiters);
    position_ = span.end;
    return view(span);
}

bool Scanner::hasToken(std::string_view delimiters) const { return hasTokenIn(Make(delimiters)); }
bool Scanner::hasToken(char delimiter) const { return hasTokenIn(Make(delimiter)); }
bool Scanner::hasToken() const { return hasTokenIn(own_); }
bool Scanner::isIntToken(std::string_view delimiters) const { return isIntIn(Make(delimiters)); }
bool Scanner::isIntToken(char delimiter) const { return isIntIn(Make(delimiter)); }
bool Scanner::isIntToken() const { return isIntIn(own_); }
bool Scanner::isDoubleToken(std::string_view delimiters) const { return isDoubleIn(Make(delimiters)); }
bool Scanner::isDoubleToken(char delimiter) const { return isDoubleIn(Make(delimiter)); }
bool Scanner::isDoubleToken() const { return isDoubleIn(own_); }

bool Scanner::tokenStartsWith(std::string_view s, std::string_view delimiters) const {
    return hasToken() && peekIn(Make(delimiters)).starts_with(s);
}
bool Scanner::tokenStartsWith(std::string_view s, char delimiter) const {
    return hasToken() && peekIn(Make(delimiter)).starts_with(s);
}
bool Scanner::tokenStartsWith(std::string_view s) const { return hasToken() && peekIn(own_).starts_with(s); }
bool Scanner::tokenEndsWith(std::string_view s, std::string_view delimiters) const {
    return endsWithIn(s, Make(delimiters));
}
bool Scanner::tokenEndsWith(std::string_view s, char delimiter) const { return endsWithIn(s, Make(delimiter)); }
bool Scanner::tokenEndsWith(std::string_view s) const { return endsWithIn(s, own_); }
bool Scanner::tokenContains(std::string_view s, std::string_view delimiters) const {
    return containsIn(s, Make(delimiters));
}
bool Scanner::tokenContains(std::string_view s, char delimiter) const { return containsIn(s, Make(delimiter)); }
bool Scanner::tokenContains(std::string_view s) const { return containsIn(s, own_); }

bool Scanner::lookingAt(std::string_view s) const { return std::string_view(text_).substr(position_).starts_with(s); }
bool Scanner::intFollows() const { return quorix::ParseInt32(at(position_), end()).ok; }
bool Scanner::doubleFollows() const { return quorix::ParseReal(at(position_), end()).ok; }
bool Scanner::lineEndFollows() const { return text_.find_first_of(LineEnds, position_) != std::string::npos; }

bool Scanner::skipTokens(int n) {
    for (int i = 0; i < n; ++i) {
        if (nextIn(own_).empty()) return false;
    }
    return true;
}

std::string_view Scanner::nextTokenView(std::string_view delimiters) { return nextIn(Make(delimiters)); }
std::string_view Scanner::nextTokenView() { return nextIn(own_); }
std::string_view Scanner::nextNameView() {
    skip();
    if (peekChar() != '"') return nextTokenView();
    const size_t begin = position_ + 1;
    const size_t close = std::min(text_.find('"', begin), text_.size());
    position_ = static_cast<uint32_t>(std::min(close + 1, text_.size()));
    return std::string_view(text_).substr(begin, close - begin);
}
std::string_view Scanner::peekTokenView(std::string_view delimiters) const { return peekIn(Make(delimiters)); }
std::string_view Scanner::peekTokenView() const { return peekIn(own_); }

std::string Scanner::nextToken(std::string_view delimiters) { return std::string(nextIn(Make(delimiters))); }
std::string Scanner::nextToken(char delimiter) { return std::string(nextIn(Make(delimiter))); }
std::string Scanner::nextToken() { return std::string(nextIn(own_)); }
std::string Scanner::peekToken(std::string_view delimiters) const { return std::string(peekIn(Make(delimiters))); }
std::string Scanner::peekToken(char delimiter) const { return std::string(peekIn(Make(delimiter))); }
std::string Scanner::peekToken() const { return std::string(peekIn(own_)); }

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

int32_t Scanner::nextInt(std::string_view delimiters) { return WholeInt(nextIn(Make(delimiters))); }
int32_t Scanner::nextInt(char delimiter) { return WholeInt(nextIn(Make(delimiter))); }
int32_t Scanner::nextInt() { return WholeInt(nextIn(own_)); }
double Scanner::nextDouble(std::string_view delimiters) { return WholeReal(nextIn(Make(delimiters))); }
double Scanner::nextDouble(char delimiter) { return WholeReal(nextIn(Make(delimiter))); }
double Scanner::nextDouble() { return WholeReal(nextIn(own_)); }

bool Scanner::nextIntIf(int32_t& value) {
    const Span span = findToken(own_);
    if (span.end == span.begin) return false;
    const quorix::IntResult number = quorix::ParseInt32(at(span.begin), at(span.end));
    if (!number.ok || number.end != at(span.end)) return false;
    value = number.value;
    position_ = span.end;
    return true;
}

bool Scanner::nextDoubleIf(double& value) {
    const Span span = findToken(own_);
    if (span.end == span.begin) return false;
    const quorix::RealResult number = quorix::ParseReal(at(span.begin), at(span.end));
    if (!number.ok || number.end != at(span.end)) return false;
    value = number.value;
    position_ = span.end;
    return true;
}

void Scanner::skip(std::string_view delimiters) { skipIn(CharSet(delimiters)); }
void Scanner::skip(char delimiter) { skipIn(CharSet(std::string_view(&delimiter, 1))); }
void Scanner::skip() { skipIn(own_.set); }
void Scanner::skipWhitespace() {
    static const CharSet whitespace(Whitespace);
    skipIn(whitespace);
}

void Scanner::skipIn(const CharSet& delimiters) {
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
    const quorix::IntResult number = quorix::ParseInt32(at(position_), end());
    if (!number.ok) return 0;
    position_ = static_cast<uint32_t>(number.end - text_.data());
    return number.value;
}

double Scanner::parseDouble() {
    const quorix::RealResult number = quorix::ParseReal(at(position_), end());
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

// A cursor over one line of text: tokens, number tests and conversions, marks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "casefile/text_number.h"

namespace zelvane::strutil {

// A set of delimiter characters, tested in constant time.
class CharSet {
public:
    CharSet() = default;
    explicit CharSet(std::string_view chars);
    bool contains(char c) const {
        const auto u = static_cast<unsigned char>(c);
        return (bits_[u >> 6] >> (u & 63)) & 1U;
    }

private:
    uint64_t bits_[4] = {0, 0, 0, 0};
};

// Operations taking a delimiter set D come in three forms: a string, one
// character, or none (the scanner's own set). A token is the run of
// characters not in D after the run of characters in D; with an empty D it
// is the single next character. Conversions read plain decimal numbers in
// any locale; integers beyond int32 and reals beyond single precision are not
// numbers. The text ends at its first NUL. Nothing here allocates per token
// except the operations that return a std::string.
class Scanner {
public:
    static constexpr std::string_view Whitespace = quorix::LineBlanks;
    static constexpr std::string_view LineEnds = "\n\r";

    Scanner();
    explicit Scanner(std::string_view text);
    Scanner(std::string_view text, char delimiter);
    Scanner(std::string_view text, std::string_view delimiters);

    // Both keep the mark stack; position goes to 0. Reuses the text's storage.
    void setText(std::string_view text, std::string_view delimiters);
    void setText(std::string_view text);
    void rewind() { position_ = 0; }
    const std::string& text() const { return text_; }
    uint32_t position() const { return position_; }

    // Mark operations on an empty stack do nothing; a mark beyond the text
    // (after a shorter setText) counts as the end of the text.
    void pushMark();
    void dropMark();
    void cutToMark();
    void popMark();

    bool hasToken(std::string_view delimiters) const;
    bool hasToken(char delimiter) const;
    bool hasToken() const;
    bool isIntToken(std::string_view delimiters) const;
    bool isIntToken(char delimiter) const;
    bool isIntToken() const;
    bool isDoubleToken(std::string_view delimiters) const;
    bool isDoubleToken(char delimiter) const;
    bool isDoubleToken() const;
    // The presence test uses the own set, the token is taken with D.
    bool tokenStartsWith(std::string_view s, std::string_view delimiters) const;
    bool tokenStartsWith(std::string_view s, char delimiter) const;
    bool tokenStartsWith(std::string_view s) const;
    bool tokenEndsWith(std::string_view s, std::string_view delimiters) const;
    bool tokenEndsWith(std::string_view s, char delimiter) const;
    bool tokenEndsWith(std::string_view s) const;
    bool tokenContains(std::string_view s, std::string_view delimiters) const;
    bool tokenContains(std::string_view s, char delimiter) const;
    bool tokenContains(std::string_view s) const;

    // At the end of the text the character is '\0'.
    bool isChar(char c) const { return peekChar() == c; }
    bool hasMore() const { return position_ < text_.size(); }
    bool lookingAt(std::string_view s) const;
    bool intFollows() const;
    bool doubleFollows() const;
    bool lineEndFollows() const;
    bool skipTokens(int n);

    std::string nextToken(std::string_view delimiters);
    std::string nextToken(char delimiter);
    std::string nextToken();
    std::string peekToken(std::string_view delimiters) const;
    std::string peekToken(char delimiter) const;
    std::string peekToken() const;
    // Views into the text, valid until the text changes.
    std::string_view nextTokenView(std::string_view delimiters);
    std::string_view nextTokenView();
    std::string_view peekTokenView(std::string_view delimiters) const;
    std::string_view peekTokenView() const;
    // The next token with the own set, or the text between double quotes when
    // it starts with one, so that names may hold blanks ("my run/geo file.geo");
    // a quote left open runs to the end of the text.
    std::string_view nextNameView();
    // 0 (0.0) for a token that is not a number; the token is consumed all the same.
    int32_t nextInt(std::string_view delimiters);
    int32_t nextInt(char delimiter);
    int32_t nextInt();
    double nextDouble(std::string_view delimiters);
    double nextDouble(char delimiter);
    double nextDouble();
    // With the own set: consume the next token when it is a whole number,
    // otherwise leave the position and return false. One scan instead of
    // isIntToken() followed by nextInt().
    bool nextIntIf(int32_t& value);
    bool nextDoubleIf(double& value);

    void skipWhitespace();
    void skip(std::string_view delimiters);
    void skip(char delimiter);
    void skip();
    // '\0' at the end, without moving.
    char getChar();
    char peekChar() const { return hasMore() ? text_[position_] : '\0'; }
    std::string peekString(int n) const;
    std::string nextString(int n);
    std::string rest();
    // Convert at the position and move past what converted (not at all when nothing does).
    int32_t parseInt();
    double parseDouble();
    std::string nextLine();
    bool skipPast(std::string_view s);

private:
    struct Span {
        uint32_t begin;  // first character of the token
        uint32_t end;    // one past its last character
    };
    // A delimiter set as the operations use it; an empty set makes single-character tokens.
    struct Delimiters {
        CharSet set;
        bool empty;
    };
    static Delimiters Make(std::string_view chars) { return {CharSet(chars), chars.empty()}; }
    static Delimiters Make(const char& c) { return {CharSet(std::string_view(&c, 1)), false}; }

    uint32_t tokenBegin(const Delimiters& delimiters) const;
    Span findToken(const Delimiters& delimiters) const;
    bool hasTokenIn(const Delimiters& delimiters) const { return tokenBegin(delimiters) < text_.size(); }
    bool isIntIn(const Delimiters& delimiters) const;
    bool isDoubleIn(const Delimiters& delimiters) const;
    bool endsWithIn(std::string_view s, const Delimiters& delimiters) const;
    bool containsIn(std::string_view s, const Delimiters& delimiters) const;
    std::string_view nextIn(const Delimiters& delimiters);
    std::string_view peekIn(const Delimiters& delimiters) const { return view(findToken(delimiters)); }
    void skipIn(const CharSet& delimiters);
    std::string_view view(Span span) const { return std::string_view(text_).substr(span.begin, span.end - span.begin); }
    const char* at(uint32_t index) const { return text_.data() + index; }
    const char* end() const { return text_.data() + text_.size(); }

    std::string text_;
    uint32_t position_ = 0;
    std::string delimiters_;
    std::vector<uint32_t> marks_;
    Delimiters own_{CharSet(), true};
};

// The tokenizer of every text line the add-on reads, Scanner's own included:
// skips the delimiters at the front of `rest`, returns the run of other
// characters after them and moves `rest` just past it; empty at the end.
std::string_view takeToken(std::string_view& rest, const CharSet& delimiters);
std::string_view nextToken(std::string_view& rest, std::string_view delimiters = Scanner::Whitespace);

// Pieces of `width` characters before the first line end, the last possibly
// shorter or holding line-end characters; 0 pieces for an empty text or width < 1.
int splitFixedWidth(std::string_view text, std::vector<std::string>& out, int width);

}  // namespace zelvane::strutil

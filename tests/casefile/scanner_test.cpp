// Every operation of the line tokenizer, one row each, so that a failure
// names the operation: the case parser uses a few of them, the rest must
// still do what they say.
#include "casefile/scanner.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using zelvane::strutil::Scanner;

struct Row {
    const char* operation;  // the one operation under test, and what it must do
    std::string text;
    std::function<std::string(Scanner&)> run;  // its results joined
    std::string want;
};

std::string B(bool b) { return b ? "T" : "F"; }
std::string N(double d) { return std::to_string(d); }
std::string P(const Scanner& s) { return std::to_string(s.position()); }
// A braced list runs its parts left to right, where a + b would not.
std::string J(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& part : parts) out += part;
    return out;
}
// `look` at every token of the own set, in turn.
std::string EachToken(Scanner& s, const std::function<std::string(Scanner&)>& look) {
    std::string out;
    for (; s.hasToken(); s.nextToken()) out += look(s);
    return out;
}

TEST(Scanner, EveryOperation) {
    const Row rows[] = {
        {"nextToken(set) keeps blanks", "time values: 1",
         [](Scanner& s) { return s.nextToken(":") + "|"; }, "time values|"},
        {"nextToken(char) from after the last", ":a: 1",
         [](Scanner& s) { return J({s.nextToken(':'), "|", s.nextToken(':')}); }, "a| 1"},
        {"nextToken() blanks, tabs and line ends, then empty", "  a\tb\r\nc  ",
         [](Scanner& s) { return J({s.nextToken(), s.nextToken(), s.nextToken(), "|", s.nextToken()}); }, "abc|"},
        {"nextToken(\"\") single characters", "ab",
         [](Scanner& s) { return J({s.nextToken(""), ",", s.nextToken("")}); }, "a,b"},
        {"hasToken() not over trailing blanks", "a \t ",
         [](Scanner& s) { return J({B(s.hasToken()), s.nextToken(), B(s.hasToken())}); }, "TaF"},
        {"hasMore() until the last character", "ab",
         [](Scanner& s) { return J({B(s.hasMore()), s.nextString(2), B(s.hasMore())}); }, "TabF"},
        {"rest() stops at NUL", std::string("a b\0c", 5), [](Scanner& s) { return J({s.rest(), "|", P(s)}); }, "a b|3"},
        {"skipTokens(n) false past the end", "a b",
         [](Scanner& s) { return J({B(s.skipTokens(0)), B(s.skipTokens(3)), P(s)}); }, "TF3"},
        {"nextNameView() quoted, bare, open quote", "  \"my run/geo file.geo\" next \"open",
         [](Scanner& s) {
             const auto name = [&s] { return std::string(s.nextNameView()); };
             return J({name(), "|", name(), "|", name()});
         },
         "my run/geo file.geo|next|open"},
        {"isIntToken() whole int32 tokens only", "12 +7 12a 2147483648 1.5",
         [](Scanner& s) { return EachToken(s, [](Scanner& t) { return B(t.isIntToken()); }); }, "TTFFF"},
        {"isDoubleToken() whole single-precision tokens only", "3 1.5e-3 1.5x 1e39",
         [](Scanner& s) { return EachToken(s, [](Scanner& t) { return B(t.isDoubleToken()); }); }, "TTFF"},
        {"nextInt() 0 for a non-number, consumed all the same", "12 12a -7",
         [](Scanner& s) { return J({N(s.nextInt()), N(s.nextInt()), N(s.nextInt(' '))}); }, N(12) + N(0) + N(-7)},
        {"nextDouble() 0 beyond single precision", "1.5e3 1e39 2",
         [](Scanner& s) { return J({N(s.nextDouble()), N(s.nextDouble()), N(s.nextDouble(" "))}); },
         N(1500) + N(0) + N(2)},
        {"nextIntIf() leaves a non-number", "x 5", [](Scanner& s) {
             int32_t i = 0;
             return J({B(s.nextIntIf(i)), P(s), s.nextToken(), B(s.nextIntIf(i)), std::to_string(i), P(s)});
         }, "F0xT53"},
        {"nextDoubleIf() leaves a non-number", "2.5 y", [](Scanner& s) {
             double d = 0;
             return J({B(s.nextDoubleIf(d)), N(d), B(s.nextDoubleIf(d)), P(s)});
         }, "T" + N(2.5) + "F3"},
        {"tokenStartsWith() without moving", "Begin_time",
         [](Scanner& s) { return B(s.tokenStartsWith("Begin")) + B(s.tokenStartsWith("time")) + P(s); }, "TF0"},
        {"tokenEndsWith() with a set", "Begin_time step",
         [](Scanner& s) { return B(s.tokenEndsWith("time")) + B(s.tokenEndsWith("in", "_")) + B(s.tokenEndsWith("_time s")); },
         "TTF"},
        {"tokenContains() with a char", "Begin_time",
         [](Scanner& s) { return B(s.tokenContains("n_t")) + B(s.tokenContains("_", '_')); }, "TF"},
        {"peekToken() without moving", "Begin_time step",
         [](Scanner& s) { return J({s.peekToken(), "|", std::string(s.peekTokenView("_")), "|", P(s)}); },
         "Begin_time|Begin|0"},
        {"pushMark() and popMark() last in, first out", "one two three",
         [](Scanner& s) { s.pushMark(); s.nextToken(); s.pushMark(); s.nextToken(); s.popMark(); return J({P(s), (s.popMark(), P(s))}); },
         "30"},
        {"dropMark() forgets without moving", "one two",
         [](Scanner& s) { s.pushMark(); s.nextToken(); s.dropMark(); s.popMark(); return P(s); }, "3"},
        {"cutToMark() erases from the mark", "one two three",
         [](Scanner& s) { s.nextToken(); s.pushMark(); s.nextToken(); s.cutToMark(); return s.text() + "|" + P(s); },
         "one three|3"},
        {"popMark() on an empty stack does nothing", "one",
         [](Scanner& s) { s.nextToken(); s.popMark(); return P(s); }, "3"},
        {"getChar() moves one, then '\\0' at the end", "a",
         [](Scanner& s) { return J({std::string(1, s.getChar()), B(s.getChar() == '\0'), P(s)}); }, "aT1"},
        {"isChar() at the position", "ab", [](Scanner& s) { return B(s.isChar('a')) + B(s.isChar('b')); }, "TF"},
        {"peekString() without moving", "ab\ncd",
         [](Scanner& s) { return s.peekString(4) + P(s) + s.peekString(-1); }, "ab\nc0"},
        {"nextString() fewer at the end", "abc",
         [](Scanner& s) { return J({s.nextString(2), "|", s.nextString(5), P(s)}); }, "ab|c3"},
        {"lineEndFollows() anywhere after", "ab\ncd",
         [](Scanner& s) { return J({B(s.lineEndFollows()), s.nextString(3), B(s.lineEndFollows())}); }, "Tab\nF"},
        {"nextLine() CR LF as one line end", "a\r\nb\n\rc",
         [](Scanner& s) { return J({s.nextLine(), "|", s.nextLine(), "|", s.nextLine(), "|", s.nextLine()}); },
         "a|b||c"},
        {"parseInt() moves past what converted", "-42x",
         [](Scanner& s) { return J({std::to_string(s.parseInt()), P(s), std::to_string(s.parseInt()), P(s)}); },
         "-42303"},
        {"parseDouble() moves past what converted", "3.5e1y",
         [](Scanner& s) { return J({N(s.parseDouble()), P(s), N(s.parseDouble()), P(s)}); }, N(35) + "5" + N(0) + "5"},
        {"intFollows() without moving", "7x y",
         [](Scanner& s) { return J({B(s.intFollows()), P(s), (s.nextString(1), B(s.intFollows()))}); }, "T0F"},
        {"doubleFollows() without moving", "2.5y",
         [](Scanner& s) { return J({B(s.doubleFollows()), P(s), (s.nextString(3), B(s.doubleFollows()))}); }, "T0F"},
        {"skipWhitespace() not the own set", ":: x",
         [](Scanner& s) { s.setText(" :x", ":"); s.skipWhitespace(); return P(s); }, "1"},
        {"skip() the own set only", " :x",
         [](Scanner& s) { s.setText(" :x", ":"); s.skip(); return J({P(s), (s.skip(" :"), P(s))}); }, "02"},
        {"lookingAt() from the position", "model: geo",
         [](Scanner& s) { return J({B(s.lookingAt("model")), s.nextToken(":"), B(s.lookingAt(": g"))}); }, "TmodelT"},
        {"skipPast() on the current line only, its line end included", "model: geo\nx",
         [](Scanner& s) { return J({B(s.skipPast(":")), P(s), B(s.skipPast("x")), B(s.skipPast("\n")), P(s)}); }, "T6FT11"},
        {"setText(text, set) replaces both", "a b",
         [](Scanner& s) { s.nextToken(); s.setText("c,d", ","); return J({s.nextToken(), P(s)}); }, "c1"},
        {"setText(text) keeps the set", "a b",
         [](Scanner& s) { s.setText("c,d", ","); s.setText("e f,g"); return s.nextToken(); }, "e f"},
        {"rewind() goes to 0", "a b", [](Scanner& s) { s.nextToken(); s.rewind(); return P(s); }, "0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.operation);
        Scanner scanner(row.text);
        EXPECT_EQ(row.run(scanner), row.want);
    }
}

}  // namespace

// Every operation of the line tokenizer, one row each: the case parser uses a
// few of them, the rest must still do what they say.
#include "casefile/scanner.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using zelvane::strutil::Scanner;

struct Row {
    const char* name;
    std::string text;
    std::function<std::string(Scanner&)> run;  // the operations, their results joined
    std::string want;
};

std::string B(bool b) { return b ? "T" : "F"; }
std::string N(double d) { return std::to_string(d); }
// A braced list runs its parts left to right, where a + b would not.
std::string J(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& part : parts) out += part;
    return out;
}

TEST(Scanner, EveryOperation) {
    const Row rows[] = {
        {"tokens up to a colon keep blanks", "time values: 1",
         [](Scanner& s) { return J({s.nextToken(":"), "|", s.nextToken(':'), "|", B(s.hasMore())}); }, "time values| 1|F"},
        {"own set, then the end", "  a\tb\r\nc  ",
         [](Scanner& s) { return J({s.nextToken(), s.nextToken(), s.nextToken(), "|", s.nextToken(), B(s.hasToken())}); },
         "abc|F"},
        {"empty set takes single characters", "ab", [](Scanner& s) { return J({s.nextToken(""), ",", s.nextToken("")}); },
         "a,b"},
        {"the text ends at NUL", std::string("a b\0c", 5), [](Scanner& s) { return J({s.rest(), "|", B(s.skipTokens(3))}); },
         "a b|F"},
        {"quoted names hold blanks", "  \"my run/geo file.geo\" next \"open",
         [](Scanner& s) {
             return J({std::string(s.nextNameView()), "|", std::string(s.nextNameView()), "|", std::string(s.nextNameView())});
         },
         "my run/geo file.geo|next|open"},
        {"numbers whole or not at all", "12 1.5e3 12a 2147483648 1e39 -7",
         [](Scanner& s) {
             return J({B(s.isIntToken()), B(s.isDoubleToken()), N(s.nextInt()), ",", N(s.nextDouble()), ",",
                       B(s.isIntToken()), N(s.nextInt()), ",", B(s.isIntToken()), B(s.isDoubleToken()), N(s.nextInt()),
                       ",", B(s.isDoubleToken()), N(s.nextDouble()), ",", N(s.nextInt(' '))});
         },
         "TT12.000000,1500.000000,F0.000000,FT0.000000,F0.000000,-7.000000"},
        {"the If forms leave a non-number", "x 5 2.5",
         [](Scanner& s) {
             int32_t i = 0;
             double d = 0;
             return J({B(s.nextIntIf(i)), B(s.skipTokens(1)), std::to_string(s.position()), B(s.nextIntIf(i)),
                       std::to_string(i), B(s.nextIntIf(i)), B(s.nextDoubleIf(d)), N(d)});
         },
         "FT1T5FT2.500000"},
        {"token tests look without moving", "Begin_time step",
         [](Scanner& s) {
             return J({B(s.tokenStartsWith("Begin")), B(s.tokenEndsWith("time")), B(s.tokenContains("n_t")),
                       B(s.tokenContains("_", '_')), B(s.tokenEndsWith("in", "_")), s.peekToken(), "|",
                       std::string(s.peekTokenView("_")), "|", std::to_string(s.position())});
         },
         "TTTFTBegin_time|Begin|0"},
        {"marks: pop returns, cut erases from the mark, empty stack does nothing", "one two three",
         [](Scanner& s) {
             s.pushMark();
             s.nextToken();
             s.pushMark();
             s.nextToken();
             s.popMark();
             std::string out = std::to_string(s.position()) + "|";
             s.cutToMark();
             out += s.text() + "|";
             s.dropMark();  // empty stack: nothing
             s.popMark();
             return out + std::to_string(s.position());
         },
         "3| two three|0"},
        {"characters, strings, a line end anywhere after", "ab\ncd",
         [](Scanner& s) {
             return J({std::string(1, s.getChar()), B(s.isChar('b')), s.peekString(2), B(s.lineEndFollows()),
                       s.nextString(1), B(s.lineEndFollows()), "|", s.nextLine(), "|", s.nextLine(), "|",
                       s.getChar() == '\0' ? "0" : "?"});
         },
         "aTb\nTbT||cd|0"},
        {"conversion in place moves past what converted", "-42x 3.5e1y",
         [](Scanner& s) {
             return J({std::to_string(s.parseInt()), std::string(1, s.getChar()), (s.skipWhitespace(), ""),
                       B(s.doubleFollows()), N(s.parseDouble()), B(s.intFollows())});
         },
         "-42xT35.000000F"},
        {"looking at and skipping past", "model: geo",
         [](Scanner& s) {
             return J({B(s.lookingAt("model")), B(s.skipPast(":")), B(s.lookingAt(" geo")), B(s.skipPast("x")),
                       std::to_string(s.position())});
         },
         "TTTF6"},
        {"a new text keeps the set, rewind goes to 0", "a,b",
         [](Scanner& s) {
             s.setText("c,d", ",");
             const std::string first = s.nextToken();
             s.setText("e f");
             return J({first, s.nextToken(), (s.rewind(), ""), std::to_string(s.position())});
         },
         "ce f0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scanner scanner(row.text);
        EXPECT_EQ(row.run(scanner), row.want);
    }
}

}  // namespace

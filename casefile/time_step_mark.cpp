#include "casefile/time_step_mark.h"

#include "casefile/ascii_case.h"
#include "casefile/text_number.h"

namespace quorix {
namespace {

// `word` in any case at the front of `text`, ended by a blank, a NUL or the
// end; on success `text` moves past it and the blanks after it.
bool TakeWord(std::string_view& text, std::string_view word) {
    if (!StartsWithIgnoreCase(text, word)) return false;
    std::string_view rest = text.substr(word.size());
    if (!rest.empty() && rest.front() != '\0' && LineBlanks.find(rest.front()) == std::string_view::npos) return false;
    const size_t next = rest.find_first_not_of(LineBlanks);
    text = next == std::string_view::npos ? std::string_view() : rest.substr(next);
    return true;
}

}  // namespace

TimeStepMark TimeStepMarkOf(std::string_view line) {
    const size_t start = line.find_first_not_of(LineBlanks);
    if (start == std::string_view::npos) return TimeStepMark::None;
    line.remove_prefix(start);
    const TimeStepMark mark = TakeWord(line, "begin") ? TimeStepMark::Begin
                              : TakeWord(line, "end") ? TimeStepMark::End
                                                      : TimeStepMark::None;
    return mark != TimeStepMark::None && TakeWord(line, "time") && TakeWord(line, "step") ? mark : TimeStepMark::None;
}

}  // namespace quorix

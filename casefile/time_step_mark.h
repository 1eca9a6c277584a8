// The lines (records) that frame one step of a file holding several steps.
#pragma once

#include <string_view>

namespace quorix {

enum class TimeStepMark { None, Begin, End };

// "BEGIN TIME STEP" or "END TIME STEP" in any case, the words apart by blanks,
// anything after them ignored; a NUL ends the text.
TimeStepMark TimeStepMarkOf(std::string_view line);

inline bool IsBeginStep(std::string_view line) { return TimeStepMarkOf(line) == TimeStepMark::Begin; }
inline bool IsEndStep(std::string_view line) { return TimeStepMarkOf(line) == TimeStepMark::End; }

}  // namespace quorix

// The host's status line on a terminal: one line on stderr, redrawn in place.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace zelhost {

class ProgressLine {
public:
    // Redraws at most 20 times a second; the first drawing and the one at 100% always show.
    void Draw(const std::string& text, int32_t percent);
    // Wipes the line, so that what follows starts on a clean one.
    void Clear();

private:
    bool shown_ = false;
    std::string text_;
    int32_t percent_ = -1;
    std::chrono::steady_clock::time_point drawnAt_;
};

// Guarded by the host lock.
ProgressLine& TheProgressLine();

}  // namespace zelhost

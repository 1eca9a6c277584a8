#include "host/progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace zelhost {
namespace {

constexpr auto RedrawInterval = std::chrono::milliseconds(50);
constexpr int BarWidth = 20;

// A line wider than the terminal would wrap, and "\r" would then redraw only its tail.
size_t TerminalColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

}  // namespace

void ProgressLine::Draw(const std::string& text, int32_t percent) {
    const auto now = std::chrono::steady_clock::now();
    if (text == text_ && percent == percent_) return;
    if (shown_ && percent < 100 && now - drawnAt_ < RedrawInterval) return;
    text_ = text;
    percent_ = percent;
    drawnAt_ = now;
    shown_ = true;
    const int filled = percent * BarWidth / 100;
    const size_t room = TerminalColumns() - 1;
    const size_t barColumns = BarWidth + 8;  // " [bar] 100%"
    const std::string shown = room > barColumns ? text.substr(0, room - barColumns) : std::string();
    std::fprintf(stderr, "\r\033[K%s [%.*s%*s] %3d%%", shown.c_str(), filled, "####################",
                 BarWidth - filled, "", percent);
    std::fflush(stderr);
}

void ProgressLine::Clear() {
    if (shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
    shown_ = false;
    text_.clear();
    percent_ = -1;
}

ProgressLine& TheProgressLine() {
    static ProgressLine line;
    return line;
}

}  // namespace zelhost

// The time steps one scan passes in a file: steps closed by "END TIME STEP",
// and a last one still open that holds data (a file without those lines holds
// one step).
#pragma once

#include <cstdint>

namespace quorix {

class StepTally {
public:
    // `first`: the 1-based step of the file's first data.
    explicit StepTally(int32_t first) : first_(first), current_(first) {}
    int32_t current() const { return current_; }
    // False when the step number would overflow.
    bool End() {
        if (current_ == INT32_MAX) return false;
        ++current_;
        open_ = false;
        return true;
    }
    void Data() { open_ = true; }
    int32_t Count() const { return current_ - first_ + (open_ ? 1 : 0); }

private:
    int32_t first_;
    int32_t current_;
    bool open_ = false;
};

}  // namespace quorix

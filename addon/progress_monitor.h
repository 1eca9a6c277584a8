// The host's percent-done display for one scan stage, with its Stop button.
#pragma once

#include <cstdint>
#include <string>

namespace quorix {

class ProgressMonitor {
public:
    ProgressMonitor(const std::string& label, int32_t total, bool showStop);
    ~ProgressMonitor();
    ProgressMonitor(const ProgressMonitor&) = delete;
    ProgressMonitor& operator=(const ProgressMonitor&) = delete;

    // True when the user asked to stop.
    bool Update(int32_t value);

    // 0..100; a total of 0 or less gives 0.
    static int32_t Percent(double current, double total);

private:
    double current = 0.0;
    double total;
};

}  // namespace quorix

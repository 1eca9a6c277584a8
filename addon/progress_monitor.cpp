#include "addon/progress_monitor.h"

#include <cmath>

#include "host_api/host_lock.h"
#include "host_api/zel_api.h"

namespace quorix {

namespace {
const char* const StopHint = "Click [Stop] to cancel.";
}

ProgressMonitor::ProgressMonitor(const std::string& label, int32_t total, bool showStop)
    : total(static_cast<double>(total)) {
    std::string text = label + ".... ";
    if (showStop) text += StopHint;
    HostLock lock;
    ZelUtilStatusStartPercentDone(text.c_str(), showStop ? ZEL_TRUE : ZEL_FALSE, ZEL_TRUE);
}

ProgressMonitor::~ProgressMonitor() {
    HostLock lock;
    ZelUtilStatusFinishPercentDone();
}

int32_t ProgressMonitor::Percent(double current, double total) {
    // Clamped as a double first: inf or NaN must never reach an integer conversion.
    if (!(total > 0.0)) return 0;
    double percent = std::floor(current / total * 100.0);
    if (!(percent >= 0.0)) return 0;
    if (percent > 100.0) return 100;
    return static_cast<int32_t>(percent);
}

bool ProgressMonitor::Update(int32_t value) {
    current = value;
    HostLock lock;
    bool stop = !ZelUtilStatusCheckPercentDone(Percent(current, total));
    if (stop) ZelUtilStatusSetPercentDoneText("Cancel request acknowledged, please wait...");
    return stop;
}

}  // namespace quorix

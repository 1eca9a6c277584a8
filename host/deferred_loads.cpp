// Forcing registered loads, one by one or from a pool of threads.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <thread>

#include "host/host_state.h"
#include "host/progress_line.h"
#include "host/recursive_lock.h"
#include "host/zel_host.h"

namespace zelhost {
namespace {

struct Task {
    std::shared_ptr<DeferredData> data;  // keeps it alive while loading
    LoadRequest request;
};

// Each pending item once, under the first zone that holds it.
std::vector<Task> PendingTasks(const DataSet* dataSet) {
    HostGuard guard;
    std::vector<Task> tasks;
    if (dataSet == nullptr) return tasks;
    std::set<const DeferredData*> seen;
    auto add = [&](std::shared_ptr<DeferredData> data, const char* kind, int32_t zone, int32_t variable) {
        if (data == nullptr || !data->LoadPending() || !seen.insert(data.get()).second) return;
        tasks.push_back(Task{std::move(data), LoadRequest{kind, zone, variable}});
    };
    for (int32_t z = 1; z <= dataSet->ZoneCount(); ++z) {
        const struct Zone& zone = *dataSet->FindZone(z);
        for (int32_t v = 1; v <= dataSet->VariableCount(); ++v) add(zone.fields[v - 1], "values", z, v);
        add(zone.nodeMap, "nodeMap", z, 0);
        add(zone.faceMap, "faceMap", z, 0);
    }
    return tasks;
}

void CountFailure(const DataSet* dataSet, int32_t zone) {
    HostGuard guard;
    if (struct Zone* z = dataSet != nullptr ? dataSet->FindZone(zone) : nullptr) ++z->loadFailures;
}

bool RunTask(const DataSet* dataSet, const Task& task) {
    const bool ok = task.data->Ensure();
    if (!ok) CountFailure(dataSet, task.request.zone);
    return ok;
}

template <class Find>
bool ForceOne(int32_t zone, Find find) {
    std::shared_ptr<DeferredData> data;
    const DataSetHandle dataSet = TopDataSet();
    {
        HostGuard guard;
        const struct Zone* z = dataSet != nullptr ? dataSet->FindZone(zone) : nullptr;
        if (z == nullptr) return false;
        data = find(*z);
    }
    if (data == nullptr) return false;
    return RunTask(dataSet.get(), Task{data, LoadRequest{"", zone, 0}});
}

// The status line while forcing: loads and bytes done of all taken together.
class ForcingProgress {
public:
    explicit ForcingProgress(const std::vector<Task>& tasks)
        : shown_(CurrentSettings().drawProgress && !tasks.empty()), loads_(static_cast<int64_t>(tasks.size())) {
        for (const Task& task : tasks) bytes_ += task.data->LoadBytesHint();
    }
    void Done(const Task& task) {
        if (!shown_) return;
        HostGuard guard;
        ++loadsDone_;
        bytesDone_ += task.data->LoadBytesHint();
        const int32_t percent = bytes_ > 0 ? static_cast<int32_t>(bytesDone_ * 100 / bytes_) : 100;
        TheProgressLine().Draw("Loading " + std::to_string(loadsDone_) + " of " + std::to_string(loads_) +
                                   " loads, " + Amount(bytesDone_) + " of " + Amount(bytes_),
                               percent);
    }
    void Finish() {
        if (!shown_) return;
        HostGuard guard;
        TheProgressLine().Clear();
    }

private:
    // In the unit of the whole, so that the two numbers compare at a glance.
    std::string Amount(int64_t bytes) const {
        const bool mega = bytes_ >= 1000000;
        char text[32];
        std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(bytes) / (mega ? 1e6 : 1e3), mega ? "MB" : "kB");
        return text;
    }
    const bool shown_;
    const int64_t loads_;
    int64_t bytes_ = 0;
    int64_t loadsDone_ = 0;
    int64_t bytesDone_ = 0;
};

}  // namespace

std::vector<LoadRequest> PendingLoadRequests() {
    std::vector<LoadRequest> requests;
    for (const Task& task : PendingTasks(TopDataSet().get())) requests.push_back(task.request);
    return requests;
}

bool ForceField(int32_t zone, int32_t variable) {
    return ForceOne(zone, [variable](const struct Zone& z) -> std::shared_ptr<DeferredData> {
        if (variable < 1 || variable > static_cast<int32_t>(z.fields.size())) return nullptr;
        return z.fields[static_cast<size_t>(variable - 1)];
    });
}

bool ForceNodeMap(int32_t zone) {
    return ForceOne(zone, [](const struct Zone& z) -> std::shared_ptr<DeferredData> { return z.nodeMap; });
}

bool ForceFaceMap(int32_t zone) {
    return ForceOne(zone, [](const struct Zone& z) -> std::shared_ptr<DeferredData> { return z.faceMap; });
}

int64_t PendingLoadCount(const DataSetHandle& dataSet) {
    return static_cast<int64_t>(PendingTasks(dataSet.get()).size());
}

ForceResult ForceAllLoads(int threads) { return ForceAllLoads(TopDataSet(), threads); }

ForceResult ForceAllLoads(const DataSetHandle& dataSet, int threads) {
    std::vector<Task> tasks = PendingTasks(dataSet.get());
    // Largest first, so that no thread is left with a big load at the end.
    std::stable_sort(tasks.begin(), tasks.end(), [](const Task& a, const Task& b) {
        return a.data->LoadBytesHint() > b.data->LoadBytesHint();
    });
    ForcingProgress progress(tasks);
    const int32_t delay = CurrentSettings().checkDelayMs;
    std::atomic<size_t> next{0};
    std::atomic<int64_t> taken{0};
    std::atomic<int64_t> failures{0};
    auto work = [&] {
        while (!State().interrupted.load()) {
            const size_t i = next.fetch_add(1);
            if (i >= tasks.size()) return;
            taken.fetch_add(1);
            if (delay > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            if (!RunTask(dataSet.get(), tasks[i])) failures.fetch_add(1);
            progress.Done(tasks[i]);
        }
    };
    const int count = threads < 1 ? 1 : threads;
    std::vector<std::thread> pool;
    for (int t = 1; t < count; ++t) pool.emplace_back(work);
    work();
    for (std::thread& thread : pool) thread.join();
    progress.Finish();
    const int64_t loads = taken.load();
    return ForceResult{loads, failures.load(), loads < static_cast<int64_t>(tasks.size())};
}

}  // namespace zelhost

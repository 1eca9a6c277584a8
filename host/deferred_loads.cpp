// Forcing registered loads, one by one or from a pool of threads.
#include <algorithm>
#include <atomic>
#include <memory>
#include <set>
#include <thread>

#include "host/host_state.h"
#include "host/recursive_lock.h"
#include "host/zel_host.h"

namespace zelhost {
namespace {

struct Task {
    std::shared_ptr<DeferredData> data;  // keeps it alive while loading
    LoadRequest request;
};

// Each pending item once, under the first zone that holds it.
std::vector<Task> PendingTasks() {
    HostGuard guard;
    std::vector<Task> tasks;
    const DataSet* dataSet = State().Current();
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

void CountFailure(int32_t zone) {
    HostGuard guard;
    const DataSet* dataSet = State().Current();
    if (struct Zone* z = dataSet != nullptr ? dataSet->FindZone(zone) : nullptr) ++z->loadFailures;
}

bool RunTask(const Task& task) {
    const bool ok = task.data->Ensure();
    if (!ok) CountFailure(task.request.zone);
    return ok;
}

template <class Find>
bool ForceOne(int32_t zone, Find find) {
    std::shared_ptr<DeferredData> data;
    {
        HostGuard guard;
        const DataSet* dataSet = State().Current();
        const struct Zone* z = dataSet != nullptr ? dataSet->FindZone(zone) : nullptr;
        if (z == nullptr) return false;
        data = find(*z);
    }
    if (data == nullptr) return false;
    return RunTask(Task{data, LoadRequest{"", zone, 0}});
}

}  // namespace

std::vector<LoadRequest> PendingLoadRequests() {
    std::vector<LoadRequest> requests;
    for (const Task& task : PendingTasks()) requests.push_back(task.request);
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

ForceResult ForceAllLoads(int threads) {
    std::vector<Task> tasks = PendingTasks();
    // Largest first, so that no thread is left with a big load at the end.
    std::stable_sort(tasks.begin(), tasks.end(), [](const Task& a, const Task& b) {
        return a.data->LoadBytesHint() > b.data->LoadBytesHint();
    });
    std::atomic<size_t> next{0};
    std::atomic<int64_t> failures{0};
    auto work = [&] {
        for (size_t i = next.fetch_add(1); i < tasks.size(); i = next.fetch_add(1)) {
            if (!RunTask(tasks[i])) failures.fetch_add(1);
        }
    };
    const int count = threads < 1 ? 1 : threads;
    std::vector<std::thread> pool;
    for (int t = 1; t < count; ++t) pool.emplace_back(work);
    work();
    for (std::thread& thread : pool) thread.join();
    return ForceResult{static_cast<int64_t>(tasks.size()), failures.load()};
}

}  // namespace zelhost

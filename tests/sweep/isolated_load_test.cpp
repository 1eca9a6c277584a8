// The sweep's runner must see each way a load can go wrong, and charge it to
// the right load, or a clean sweep would prove nothing.
#include <gtest/gtest.h>

#include <csignal>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "isolated_load.h"

namespace {

const std::string kCube = std::string(QUORIX_SAMPLES) + "/gold/cube/le/cube.case";

struct RunnerRow {
    const char* name;
    void (*damage)();
    std::vector<std::string> expected;  // the uncleanliness shown holds one of these
};

bool HoldsOne(const std::string& text, const std::vector<std::string>& parts) {
    for (const std::string& part : parts) {
        if (text.find(part) != std::string::npos) return true;
    }
    return false;
}

void Crash() { std::raise(SIGSEGV); }
void Hang() { std::this_thread::sleep_for(std::chrono::hours(1)); }
// A direct call: a new-expression whose block is unused may be left out.
void Allocate() { ::operator delete(::operator new(size_t{4} << 30)); }

TEST(IsolatedLoad, EachFaultEndsOnlyItsLoad) {
    const RunnerRow rows[] = {
        // A sanitizer runtime reports the crash and the allocation itself, then exits or aborts.
        {"crash", Crash, {"killed by signal", "sanitizer"}},
        {"hang", Hang, {"time limit"}},
        {"allocation above the cap", Allocate, {"address-space cap", "sanitizer", "killed by signal"}},
    };
    for (const RunnerRow& row : rows) {
        SCOPED_TRACE(row.name);
        sweep::LoadLimits limits;
        limits.timeoutSeconds = 2;
        const auto outcomes = sweep::LoadEachIsolated(
            kCube, 4, [&](size_t i) { if (i == 1) row.damage(); }, limits);
        ASSERT_EQ(outcomes.size(), 4u);
        EXPECT_TRUE(HoldsOne(outcomes[1].Uncleanliness(), row.expected)) << outcomes[1].Uncleanliness();
        for (size_t i : {size_t{0}, size_t{2}, size_t{3}}) {
            EXPECT_EQ(outcomes[i].Uncleanliness(), "") << "load " << i;
            EXPECT_TRUE(outcomes[i].Succeeded()) << "load " << i << "\n" << outcomes[i].Describe();
            EXPECT_EQ(outcomes[i].zones.size(), 1u);
        }
    }
}

}  // namespace

// No exception from a load body reaches the host, and every failed body is reported once.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "host_api/callback_guard.h"

namespace quorix {
namespace {

enum class Outcome { Loads, Fails, OutOfMemory, Throws, ThrowsInt };

bool Finish(Outcome outcome) {
    switch (outcome) {
        case Outcome::Loads: return true;
        case Outcome::Fails: return false;
        case Outcome::OutOfMemory: throw std::bad_alloc();
        case Outcome::Throws: throw std::runtime_error("damaged record");
        case Outcome::ThrowsInt: throw 7;
    }
    return false;
}

TEST(CallbackGuardTest, AnswersTheHostAndReportsEachFailureOnce) {
    struct Row {
        const char* name;
        Outcome outcome;
        Boolean_t answer;
        int reports;
    };
    const Row rows[] = {
        {"loaded", Outcome::Loads, ZEL_TRUE, 0},
        {"failed", Outcome::Fails, ZEL_FALSE, 1},
        {"out of memory", Outcome::OutOfMemory, ZEL_FALSE, 1},
        {"other exception", Outcome::Throws, ZEL_FALSE, 1},
        {"not an exception class", Outcome::ThrowsInt, ZEL_FALSE, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int reports = 0;
        Boolean_t answer = GuardCallback([&] { return Finish(row.outcome); }, [&]() noexcept { ++reports; });
        EXPECT_EQ(answer, row.answer);
        EXPECT_EQ(reports, row.reports);
    }
}

}  // namespace
}  // namespace quorix

// The add-on hands large arrays to the host a piece at a time: every value
// still lands at its place, whatever the first position.
#include <numeric>
#include <vector>

#include "host/host_fixture.h"
#include "host_api/hand_over.h"
#include "host_api/host_lock.h"

namespace hosttest {
namespace {

TEST_F(HostTest, HandOverInPiecesPutsEveryValueInPlace) {
    constexpr int64_t size = 2'500'000;  // more than two pieces
    const RangeRow rows[] = {
        {"whole field", 0, size, true},
        {"from an odd position", 3, size - 3, true},
        {"nothing", size, 0, true},
        {"one value past the end", 1, size, false},
        {"negative count", 0, -1, false},
    };
    quorix::SetAddOnId(ZelUtilAddOnRegister(113, "hand-over test", "1.0", "test"));
    ASSERT_TRUE(MakeDataSet({"X"}));
    ASSERT_TRUE(AddZone({.imax = size}));
    ASSERT_TRUE(ZelUtilDataValueAlloc(1, 1));
    FieldData_pa field = ZelUtilDataValueGetWritableRef(1, 1);
    std::vector<float> values(size);
    for (const RangeRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::iota(values.begin(), values.end(), static_cast<float>(row.first + 1));
        ASSERT_EQ(quorix::HandOver(field, row.first, row.count, values.data()), row.accepted);
        if (!row.accepted || row.count == 0) continue;
        const std::vector<double> held = zelhost::FieldValues(1, 1);
        for (int64_t i = row.first; i < size; ++i) ASSERT_EQ(held[static_cast<size_t>(i)], static_cast<double>(i + 1));
    }
}

}  // namespace
}  // namespace hosttest

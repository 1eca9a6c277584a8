// Host arrays: zero-filled whatever memory they come from, never overlapping,
// whatever size and order they are taken and given back in.
#include "host/host_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace zelhost {
namespace {

bool AllZero(const HostBuffer& buffer) {
    return std::all_of(buffer.data(), buffer.data() + buffer.bytes(), [](std::byte b) { return b == std::byte{0}; });
}

TEST(HostBuffer, ZeroFilledAndApartInEverySize) {
    std::mt19937 random(7);
    const int64_t sizes[] = {0, 1, 4096, (128 << 10) - 1, 128 << 10, 300'000, 1 << 20, (2 << 20) - 4,
                             2 << 20, 5'470'524, (9 << 20) + 3};
    for (int round = 0; round < 2; ++round) {
        std::vector<std::unique_ptr<HostBuffer>> buffers;
        for (int i = 0; i < 24; ++i) {
            auto buffer = std::make_unique<HostBuffer>();
            ASSERT_TRUE(buffer->Allocate(sizes[random() % std::size(sizes)]));
            buffer->Prefault();
            ASSERT_TRUE(AllZero(*buffer)) << "size " << buffer->bytes();
            std::fill(buffer->data(), buffer->data() + buffer->bytes(), std::byte(i + 1));
            buffers.push_back(std::move(buffer));
        }
        // Each still holds what was written into it: no two overlap.
        for (size_t i = 0; i < buffers.size(); ++i) {
            const HostBuffer& b = *buffers[i];
            EXPECT_TRUE(std::all_of(b.data(), b.data() + b.bytes(), [&](std::byte x) { return x == std::byte(i + 1); }))
                << "buffer " << i << " of " << b.bytes() << " bytes";
        }
        // Released in any order; what comes next is zero-filled again.
        std::shuffle(buffers.begin(), buffers.end(), random);
        for (size_t i = 0; i < buffers.size(); i += 2) buffers[i]->Release();
    }
}

}  // namespace
}  // namespace zelhost

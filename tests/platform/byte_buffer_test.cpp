// Blocks of bytes, from the heap and, when large, straight from the system.

#include "platform/byte_buffer.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace plexor {
namespace {

TEST(ByteBuffer, LargeAndSmallBlocksStartZeroWhenAskedAndMoveTheirOwnership)
{
    for (std::size_t size : {std::size_t{100}, std::size_t{9} << 20}) {
        SCOPED_TRACE(size);
        ByteBuffer zeroed = ByteBuffer::zeroed(size);
        ASSERT_EQ(zeroed.size(), size);
        EXPECT_TRUE(std::all_of(zeroed.bytes().begin(), zeroed.bytes().end(), [](std::uint8_t b) { return b == 0; }));
        zeroed.data()[size - 1] = 5;
        ByteBuffer moved = std::move(zeroed);
        EXPECT_EQ(moved.data()[size - 1], 5);
        EXPECT_TRUE(zeroed.empty()); // NOLINT(bugprone-use-after-move): moved-from is empty
    }
}

} // namespace
} // namespace plexor

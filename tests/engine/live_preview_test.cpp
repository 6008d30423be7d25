// The worker's live frames: what a batch would leave, computed apart from
// the picture it keeps, alpha included.

#include "engine/live_preview.h"

#include <gtest/gtest.h>

#include "engine/cell_worker.h"
#include "tests/support/model_setup.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

std::uint8_t alphaOf(std::int32_t x, std::int32_t y)
{
    return static_cast<std::uint8_t>((x * 11 + y * 3) % 256);
}

void setUp(TestModel& m)
{
    loadPicture(m, 120, 96, pattern, alphaOf);
    m.layGrid(24);
}

TEST(LivePreview, AFrameIsWhatItsBatchLeavesAndTheWorkPlaneStaysAsItWas)
{
    TestModel m;
    setUp(m);
    const PixelPlanes before{ByteBuffer::copyOf(m.picture.work().colours.bytes()),
                             ByteBuffer::copyOf(m.picture.work().alpha.bytes())};
    int frames = 0;
    CellWorker worker(m.work, m.grid, m.picture, {}, [&] {
        m.work.preview().publish(m.work.changes());
        ++frames;
    });
    {
        WorkerHold hold(m.work.gate());
        ASSERT_TRUE(m.work.preview().begin(m.grid, m.picture));
    }
    CellRef around[16];
    const std::size_t count = cellsAround(m.grid.shape(), 2, 2, around);
    PreviewRequest request{{around, around + count}, {{static_cast<std::int32_t>(m.grid.index(2, 2)), 7, -5}}};
    ASSERT_TRUE(m.work.preview().request(std::move(request)));
    worker.wake();
    ASSERT_TRUE(serveUntil(worker, [&] { return frames == 1; }));
    ASSERT_TRUE(serveUntilIdle(worker));
    EXPECT_TRUE(sameBytes(m.picture.work(), before)) << "the frame is computed apart";
    EXPECT_EQ(m.grid.point(2, 2).dx, 0) << "and from points of its own";

    // The same batch deformed into a picture of its own, as a release has
    // the worker deform it.
    TestModel expected;
    setUp(expected);
    expected.displace(2, 2, 7, -5);
    for (std::size_t k = 0; k < count; ++k) expected.deform(around[k]);
    PixelPlanes shown{ByteBuffer::copyOf(before.colours.bytes()), ByteBuffer::copyOf(before.alpha.bytes())};
    const PreviewFrame& frame = m.work.preview().shown();
    ASSERT_FALSE(frame.empty());
    frame.copyInto(shown, 120, PixelRect{0, 0, 120, 96});
    EXPECT_TRUE(sameBytes(shown, expected.picture.work()));

    // A frame of a drag that has gone is never shown.
    m.work.preview().drop(m.work.changes());
    EXPECT_TRUE(m.work.preview().shown().empty());
    EXPECT_FALSE(m.work.preview().request(PreviewRequest{{around, around + count}, {}}));
    worker.stop();
}

} // namespace
} // namespace plexor::test

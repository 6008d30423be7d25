// The worker's live frames: what a batch would leave, computed apart from
// the picture it keeps, alpha included, and a deep picture's top bits when
// rendered smoothly from 16-bit values.

#include "engine/live_preview.h"

#include <gtest/gtest.h>

#include "engine/cell_worker.h"
#include "engine/parallel_deform.h"
#include "tests/support/model_setup.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

std::uint8_t alphaOf(std::int32_t x, std::int32_t y)
{
    return static_cast<std::uint8_t>((x * 11 + y * 3) % 256);
}

Rgb lowOf(std::int32_t x, std::int32_t y)
{
    return Rgb{static_cast<std::uint8_t>(x * 5 + y), static_cast<std::uint8_t>(y * 3),
               static_cast<std::uint8_t>(x ^ y)};
}

void setUp(TestModel& m, bool deepSmooth)
{
    if (deepSmooth)
        loadPicture(m.picture, 120, 96, pattern, alphaOf, lowOf, alphaOf);
    else
        loadPicture(m, 120, 96, pattern, alphaOf);
    m.layGrid(24);
    if (deepSmooth) m.grid.setResampling(Resampling::Smooth);
}

PixelPlanes copyOf(const PixelPlanes& planes)
{
    return {ByteBuffer::copyOf(planes.colours.bytes()), ByteBuffer::copyOf(planes.alpha.bytes()),
            ByteBuffer::copyOf(planes.low.bytes()), ByteBuffer::copyOf(planes.alphaLow.bytes())};
}

TEST(LivePreview, AFrameIsWhatItsBatchLeavesAndTheWorkPlaneStaysAsItWas)
{
    for (const bool deepSmooth : {false, true}) {
        SCOPED_TRACE(deepSmooth ? "deep, smooth" : "8 bits, exact");
        TestModel m;
        setUp(m, deepSmooth);
        const PixelPlanes before = copyOf(m.picture.work());
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
        setUp(expected, deepSmooth);
        expected.displace(2, 2, 7, -5);
        deformCellsInParallel(expected.grid.sampling(), expected.picture.splatTarget(), {around, around + count}, {});
        PixelPlanes shown{ByteBuffer::copyOf(before.colours.bytes()), ByteBuffer::copyOf(before.alpha.bytes())};
        const PreviewFrame& frame = m.work.preview().shown();
        ASSERT_FALSE(frame.empty());
        frame.copyInto(shown, 120, PixelRect{0, 0, 120, 96});
        EXPECT_TRUE(sameBytes(shown.colours, expected.picture.work().colours));
        EXPECT_TRUE(sameBytes(shown.alpha, expected.picture.work().alpha));

        // A frame of a drag that has gone is never shown.
        m.work.preview().drop(m.work.changes());
        EXPECT_TRUE(m.work.preview().shown().empty());
        EXPECT_FALSE(m.work.preview().request(PreviewRequest{{around, around + count}, {}}));
        worker.stop();
    }
}

} // namespace
} // namespace plexor::test

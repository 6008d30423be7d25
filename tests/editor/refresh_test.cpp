#include "editor/refresh.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "editor/draw_overlay.h"
#include "editor/overlay_palette.h"
#include "editor_fixture.h"

namespace plexor::test {
namespace {

using namespace std::chrono_literals;

TEST(Refresh, CopiesAndDrawsTheOverlayBeforeItReturnsWhatToPush)
{
    TestModel model;
    loadPictureWithGrid(model, 96, 72, 24);
    model.grid.setPicked(model.grid.index(2, 1), true);
    const RefreshParts shown = show(model);
    ASSERT_EQ(shown.count, 1u);
    EXPECT_EQ(shown.rects[0], (PixelRect{0, 0, 96, 72})) << "a new grid changes the whole picture";
    EXPECT_EQ(countInView(model, kPickedMarkerColour), 16 + 4 * 10) << "the overlay is in the view to be pushed";
    EXPECT_EQ(show(model).count, 0u) << "nothing changed since";
}

TEST(Refresh, WithTheOverlayOffTheViewIsWorkImageByteForByte)
{
    TestModel model;
    loadPictureWithGrid(model, 96, 72, 24);
    loadPicture(model, 96, 72, pattern); // a busy picture under the same grid
    model.grid.setPicked(model.grid.index(1, 1), true);
    model.displace(2, 1, 7, 0);
    model.work.changes().markAll();
    show(model); // overlay on first: the next refresh must not keep it
    ASSERT_FALSE(sameBytes(model.picture.view().colours, model.picture.work().colours));
    model.work.changes().markAll(); // as the Show toggle does
    EXPECT_EQ(show(model, false).count, 1u);
    EXPECT_TRUE(sameBytes(model.picture.view().colours, model.picture.work().colours));
}

TEST(Refresh, AMovedPointLeavesNothingBehind)
{
    TestModel model;
    loadPictureWithGrid(model, 96, 72, 24);
    show(model);
    // Moved as a drag moves it: what the point's elements cover is marked
    // before and after.
    const auto move = [&](std::int32_t dx) {
        model.work.changes().mark(pointOverlayBounds(model.grid, 2, 1));
        model.displace(2, 1, dx, 0);
        model.work.changes().mark(pointOverlayBounds(model.grid, 2, 1));
        show(model);
    };
    move(9);
    EXPECT_EQ(viewPixel(model, 57, 25), kMarkerColour);
    move(-9);
    EXPECT_EQ(viewPixel(model, 57, 25), kBackground) << "the old marker is gone";
    EXPECT_EQ(viewPixel(model, 39, 25), kMarkerColour);
}

TEST(Refresh, WithoutAPictureNothingHappens)
{
    // Also after a grid command made without a picture.
    TestModel model;
    EXPECT_EQ(show(model).count, 0u);
    model.layGrid(model.grid.step());
    EXPECT_EQ(show(model).count, 0u);
    EXPECT_TRUE(model.picture.view().colours.empty());
}

TEST(Refresh, TheCopyWaitsForTheCellInProgress)
{
    // A stand-in worker is inside an entry, writing the work plane; the refresh
    // must copy only once it has finished.
    TestModel model;
    loadPictureWithGrid(model, 96, 72, 24);
    std::atomic<bool> inside{false};
    std::thread worker([&] {
        EntryScope entry(model.work.gate());
        inside = true;
        std::this_thread::sleep_for(100ms);
        model.picture.splatTarget().work[0] = 0x42;
    });
    while (!inside) std::this_thread::sleep_for(1ms);
    show(model, false);
    worker.join();
    EXPECT_EQ(model.picture.view().colours[0], 0x42);
}

} // namespace
} // namespace plexor::test

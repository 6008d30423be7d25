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

using Call = RecordingRefreshHost::Call;
using namespace std::chrono_literals;

// A host that checks, at the push, what the view holds then.
class PushCheckingHost : public RecordingRefreshHost {
public:
    explicit PushCheckingHost(DeformModel& m) : model(m) {}
    void pushView(std::span<const PixelRect> parts) override
    {
        RecordingRefreshHost::pushView(parts);
        redAtPush = countInView(model, kPickedMarkerColour);
    }
    DeformModel& model;
    int redAtPush = -1;
};

TEST(Refresh, CopiesDrawsPushesThenRepaints)
{
    DeformModel model;
    loadPictureWithGrid(model, 96, 72, 24);
    model.point(2, 1).picked = 1;
    PushCheckingHost host(model);
    refresh(model, host);
    EXPECT_EQ(host.calls, (std::vector<Call>{Call::OverlayVisible, Call::PushView, Call::RepaintImage}));
    EXPECT_EQ(host.redAtPush, 16 + 4 * 10) << "the overlay is in the view before it is pushed";
}

TEST(Refresh, WithTheOverlayOffTheViewIsWorkImageByteForByte)
{
    DeformModel model;
    loadPictureWithGrid(model, 96, 72, 24);
    loadPicture(model, 96, 72, pattern); // a busy picture under the same grid
    model.point(1, 1).picked = 1;
    model.point(2, 1).dx = 7;
    model.changes().markAll();
    RecordingRefreshHost host;
    refresh(model, host); // overlay on first: the next refresh must not keep it
    ASSERT_NE(0, std::memcmp(model.viewImage().data(), model.workImage().data(), model.workImage().size()));
    host.overlay = false;
    host.calls.clear();
    model.changes().markAll(); // as the Show toggle does
    refresh(model, host);
    EXPECT_EQ(0, std::memcmp(model.viewImage().data(), model.workImage().data(), model.workImage().size()));
    EXPECT_EQ(host.calls, (std::vector<Call>{Call::OverlayVisible, Call::PushView, Call::RepaintImage}));
}

TEST(Refresh, AMovedPointLeavesNothingBehind)
{
    DeformModel model;
    loadPictureWithGrid(model, 96, 72, 24);
    RecordingRefreshHost host;
    refresh(model, host);
    // Moved as a drag moves it: what the point's elements cover is marked
    // before and after.
    const auto move = [&](std::int32_t dx) {
        model.changes().mark(pointOverlayBounds(model, 2, 1));
        model.point(2, 1).dx = dx;
        model.changes().mark(pointOverlayBounds(model, 2, 1));
        refresh(model, host);
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
    DeformModel model;
    RecordingRefreshHost host;
    refresh(model, host);
    model.layGrid(model.gridStep());
    refresh(model, host);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(model.viewImage().empty());
}

TEST(Refresh, TheCopyWaitsForTheCellInProgress)
{
    // A stand-in worker is inside an entry, writing workImage; the refresh
    // must copy only once it has finished.
    DeformModel model;
    loadPictureWithGrid(model, 96, 72, 24);
    RecordingRefreshHost host;
    host.overlay = false;
    std::atomic<bool> inside{false};
    std::thread worker([&] {
        EntryScope entry(model.gate());
        inside = true;
        std::this_thread::sleep_for(100ms);
        model.workImage()[0] = 0x42;
    });
    while (!inside) std::this_thread::sleep_for(1ms);
    refresh(model, host);
    worker.join();
    EXPECT_EQ(model.viewImage()[0], 0x42);
}

} // namespace
} // namespace plexor::test

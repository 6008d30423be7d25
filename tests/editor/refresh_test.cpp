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
    void PushView(std::span<const PixelRect> parts) override
    {
        RecordingRefreshHost::PushView(parts);
        redAtPush = CountInView(model, kSelectedMarkerColour);
    }
    DeformModel& model;
    int redAtPush = -1;
};

TEST(Refresh, CopiesDrawsPushesThenRepaints)
{
    DeformModel model;
    LoadPictureWithGrid(model, 96, 72, 24);
    model.Point(2, 1).Selected = 1;
    PushCheckingHost host(model);
    Refresh(model, host);
    EXPECT_EQ(host.calls, (std::vector<Call>{Call::OverlayVisible, Call::PushView, Call::RepaintImage}));
    EXPECT_EQ(host.redAtPush, 16 + 4 * 10) << "the overlay is in the view before it is pushed";
}

TEST(Refresh, WithTheOverlayOffTheViewIsWorkImageByteForByte)
{
    DeformModel model;
    LoadPictureWithGrid(model, 96, 72, 24);
    LoadPicture(model, 96, 72, Pattern); // a busy picture under the same grid
    model.Point(1, 1).Selected = 1;
    model.Point(2, 1).DX = 7;
    model.Changes.MarkAll();
    RecordingRefreshHost host;
    Refresh(model, host); // overlay on first: the next refresh must not keep it
    ASSERT_NE(0, std::memcmp(model.ViewImage.data(), model.WorkImage.data(), model.WorkImage.size()));
    host.overlay = false;
    host.calls.clear();
    model.Changes.MarkAll(); // as the Show toggle does
    Refresh(model, host);
    EXPECT_EQ(0, std::memcmp(model.ViewImage.data(), model.WorkImage.data(), model.WorkImage.size()));
    EXPECT_EQ(host.calls, (std::vector<Call>{Call::OverlayVisible, Call::PushView, Call::RepaintImage}));
}

TEST(Refresh, AMovedPointLeavesNothingBehind)
{
    DeformModel model;
    LoadPictureWithGrid(model, 96, 72, 24);
    RecordingRefreshHost host;
    Refresh(model, host);
    // Moved as a drag moves it: what the point's elements cover is marked
    // before and after.
    const auto move = [&](std::int32_t dx) {
        model.Changes.Mark(PointOverlayBounds(model, 2, 1));
        model.Point(2, 1).DX = dx;
        model.Changes.Mark(PointOverlayBounds(model, 2, 1));
        Refresh(model, host);
    };
    move(9);
    EXPECT_EQ(ViewPixel(model, 57, 25), kMarkerColour);
    move(-9);
    EXPECT_EQ(ViewPixel(model, 57, 25), kBackground) << "the old marker is gone";
    EXPECT_EQ(ViewPixel(model, 39, 25), kMarkerColour);
}

TEST(Refresh, WithoutAPictureNothingHappens)
{
    // Also after a grid command made without a picture.
    DeformModel model;
    RecordingRefreshHost host;
    Refresh(model, host);
    model.BuildGrid();
    model.BuildWeightTables();
    Refresh(model, host);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(model.ViewImage.empty());
}

TEST(Refresh, TheCopyWaitsForTheCellInProgress)
{
    // A stand-in worker is inside an entry, writing WorkImage; the refresh
    // must copy only once it has finished.
    DeformModel model;
    LoadPictureWithGrid(model, 96, 72, 24);
    RecordingRefreshHost host;
    host.overlay = false;
    std::atomic<bool> inside{false};
    std::thread worker([&] {
        EntryScope entry(model.Gate);
        inside = true;
        std::this_thread::sleep_for(100ms);
        model.WorkImage[0] = 0x42;
    });
    while (!inside) std::this_thread::sleep_for(1ms);
    Refresh(model, host);
    worker.join();
    EXPECT_EQ(model.ViewImage[0], 0x42);
}

} // namespace
} // namespace plexor::test

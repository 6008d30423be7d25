// Refresh draws the overlay band by band while each band of the copy is in
// the cache. Whatever the grid and its displacements, the view must come out
// byte for byte as the whole copy followed by the whole overlay gives it.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "editor/draw_overlay.h"
#include "editor/refresh.h"
#include "editor_fixture.h"

namespace plexor {
namespace {

// Whole-frame reference: the plain copy, then the plain overlay.
std::vector<std::uint8_t> PlainView(DeformModel& m)
{
    m.CopyPixels(m.WorkImage, m.ViewImage);
    DrawOverlay(m);
    return std::vector<std::uint8_t>(m.ViewImage.data(), m.ViewImage.data() + m.ViewImage.size());
}

TEST(BandedRefresh, GivesTheSameViewAsTheWholeOverlay)
{
    std::mt19937 rng(5);
    struct Shape {
        int width, height, step;
    };
    for (const Shape shape : {Shape{1024, 600, 48}, Shape{1024, 333, 7}, Shape{2048, 100, 16}, Shape{4, 900, 1},
                              Shape{512, 512, 64}, Shape{1200, 90, 200}}) {
        DeformModel m;
        LoadPictureWithGrid(m, shape.width, shape.height, shape.step);
        for (int round = 0; round < 6; ++round) {
            // Displacements as a drag leaves them (within a step, inside the
            // picture), some far beyond, and a few picked points.
            for (TControlPoint& p : m.ControlPoints) {
                std::uniform_int_distribution<std::int32_t> near(-shape.step + 1, shape.step - 1);
                std::int32_t dx = near(rng);
                std::int32_t dy = near(rng);
                if (round == 5 && rng() % 7 == 0) {
                    dx = static_cast<std::int32_t>(rng() % 4000) - 2000;
                    dy = static_cast<std::int32_t>(rng() % 4000) - 2000;
                }
                if (round == 0) dx = dy = 0;
                p.DX = dx;
                p.DY = dy;
                p.Selected = rng() % 13 == 0;
            }
            const std::vector<std::uint8_t> expected = PlainView(m);
            std::memset(m.ViewImage.data(), 0x5A, m.ViewImage.size());
            RecordingRefreshHost host;
            Refresh(m, host);
            ASSERT_EQ(0, std::memcmp(expected.data(), m.ViewImage.data(), expected.size()))
                << shape.width << " x " << shape.height << " step " << shape.step << " round " << round;
        }
    }
}

} // namespace
} // namespace plexor

#include "editor/draw_line.h"

#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace plexor::test {
namespace {

using Pixels = std::vector<std::pair<int, int>>;

constexpr Colour kInk{1, 2, 3};

// The line in its plain, literal form, stepped one pixel at a time with its
// single error term: the positions it plots, in order, wherever they lie.
Pixels literalLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, bool dotted)
{
    Pixels out;
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    const std::int64_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    const std::int64_t ax = 2 * (dx < 0 ? -dx : dx), ay = 2 * (dy < 0 ? -dy : dy);
    std::int64_t x = x0, y = y0;
    // Stepped along its longer axis, the error term choosing when to step
    // along the other.
    const bool alongX = ax > ay;
    std::int64_t& major = alongX ? x : y;
    std::int64_t& minor = alongX ? y : x;
    const std::int64_t majorEnd = alongX ? x1 : y1;
    const std::int64_t majorStep = alongX ? sx : sy, minorStep = alongX ? sy : sx;
    const std::int64_t majorSpan = alongX ? ax : ay, minorSpan = alongX ? ay : ax;
    std::int64_t d = minorSpan - majorSpan / 2;
    bool on = !dotted;
    for (;;) {
        if (dotted) on = !on;
        if (on) out.emplace_back(static_cast<int>(x), static_cast<int>(y));
        if (major == majorEnd) break;
        if (d >= 0) {
            minor += minorStep;
            d -= majorSpan;
        }
        major += majorStep;
        d += minorSpan;
    }
    return out;
}

Pixels drawn(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, bool dotted, int w = 16, int h = 16)
{
    TestCanvas canvas(w, h);
    drawLine(canvas.view, x0, y0, x1, y1, dotted, kInk);
    EXPECT_TRUE(canvas.guardIntact());
    return canvas.painted();
}

// Row-by-row order, as TestCanvas::Painted lists them.
Pixels sorted(Pixels p)
{
    std::sort(p.begin(), p.end(),
              [](auto a, auto b) { return std::pair(a.second, a.first) < std::pair(b.second, b.first); });
    return p;
}

TEST(DrawLine, WorkedExamplesPlotExactlyTheirPixels)
{
    // Direction matters: the reverse line takes other pixels.
    EXPECT_EQ(drawn(0, 0, 4, 2, false), sorted({{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
    EXPECT_EQ(drawn(4, 2, 0, 0, false), sorted({{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}));
    // Equal extents step along y, and diagonally.
    EXPECT_EQ(drawn(0, 0, 3, 3, false), sorted({{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    // A dotted line starts its pattern at its first pixel; its last shows only
    // after an even number of steps.
    EXPECT_EQ(drawn(0, 0, 6, 0, true), sorted({{0, 0}, {2, 0}, {4, 0}, {6, 0}}));
    EXPECT_EQ(drawn(0, 0, 5, 0, true), sorted({{0, 0}, {2, 0}, {4, 0}}));
    EXPECT_EQ(drawn(6, 0, 0, 0, true), sorted({{6, 0}, {4, 0}, {2, 0}, {0, 0}}));
    EXPECT_EQ(drawn(5, 0, 0, 0, true), sorted({{5, 0}, {3, 0}, {1, 0}}));
    // A single point is one pixel, dotted or solid.
    EXPECT_EQ(drawn(7, 9, 7, 9, false), Pixels({{7, 9}}));
    EXPECT_EQ(drawn(7, 9, 7, 9, true), Pixels({{7, 9}}));
    EXPECT_EQ(drawn(-1, 3, -1, 3, false), Pixels{}) << "a single point outside draws nothing";
    EXPECT_EQ(drawn(3, 16, 3, 16, true), Pixels{});
    // A dotted y-major line: the x step comes with the error term at 0.
    EXPECT_EQ(drawn(2, 0, 3, 4, true), sorted({{2, 0}, {3, 2}, {3, 4}}));
}

TEST(DrawLine, WritesTheColourBytesInBlueGreenRedOrder)
{
    TestCanvas canvas(8, 4);
    drawLine(canvas.view, 1, 1, 1, 1, false, Colour{10, 20, 30});
    const std::uint8_t* p = canvas.bytes.data() + 3 * (1 * 8 + 1);
    EXPECT_EQ(p[0], 10);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 30);
    EXPECT_EQ(canvas.painted().size(), 1u);
}

// Random lines, many of them partly or wholly outside a small picture, in
// both modes: the pixels drawn are exactly the literal line's pixels that
// lie inside, and nothing is written past the picture.
TEST(DrawLine, EveryLineDrawsTheLiteralPixelsInsideThePicture)
{
    std::mt19937 rng(2024);
    for (auto [w, h] : {std::pair{20, 12}, std::pair{4, 1}, std::pair{8, 30}}) {
        std::uniform_int_distribution<int> xs(-3 * w, 4 * w), ys(-3 * h, 4 * h);
        std::uniform_int_distribution<int> inX(0, w - 1), inY(0, h - 1);
        for (int i = 0; i < 6000; ++i) {
            const bool inside = i % 3 == 0; // a third wholly inside
            const int x0 = inside ? inX(rng) : xs(rng), y0 = inside ? inY(rng) : ys(rng);
            const int x1 = inside ? inX(rng) : xs(rng), y1 = inside ? inY(rng) : ys(rng);
            const bool dotted = i % 2 == 0;
            Pixels expected;
            for (auto p : literalLine(x0, y0, x1, y1, dotted))
                if (p.first >= 0 && p.first < w && p.second >= 0 && p.second < h) expected.push_back(p);
            ASSERT_EQ(drawn(x0, y0, x1, y1, dotted, w, h), sorted(expected))
                << "from (" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")" << (dotted ? " dotted" : "");
        }
    }
}

TEST(DrawLine, LongLinesFromFarOutsideLandWhereTheWholeLineWouldPutThem)
{
    // Starting far off, the line must arrive with the error term it would have
    // after all the steps outside.
    const std::pair<std::pair<int, int>, std::pair<int, int>> lines[] = {
        {{-1000003, -7}, {25, 9}},    {{25, 9}, {-1000003, -7}},   {{-999, 500001}, {7, -3}},
        {{3, 4}, {1234567, 1300000}}, {{-800000, 5}, {800001, 6}}, {{10, -700001}, {11, 700000}},
    };
    for (const auto& [a, b] : lines)
        for (bool dotted : {false, true}) {
            Pixels expected;
            for (auto p : literalLine(a.first, a.second, b.first, b.second, dotted))
                if (p.first >= 0 && p.first < 32 && p.second >= 0 && p.second < 16) expected.push_back(p);
            EXPECT_EQ(drawn(a.first, a.second, b.first, b.second, dotted, 32, 16), sorted(expected))
                << a.first << "," << a.second << " -> " << b.first << "," << b.second;
        }
}

TEST(DrawLine, ExtremeCoordinatesStayInsideAndFinish)
{
    constexpr int kMin = std::numeric_limits<std::int32_t>::min();
    constexpr int kMax = std::numeric_limits<std::int32_t>::max();
    TestCanvas canvas(16, 16);
    drawLine(canvas.view, kMin, kMin, kMax, kMax, false, kInk);
    drawLine(canvas.view, kMax, 3, kMin, 4, true, kInk);
    drawLine(canvas.view, 5, kMin, 6, kMax, false, kInk);
    drawLine(canvas.view, kMin, kMax, kMax, kMin, false, kInk);
    EXPECT_TRUE(canvas.guardIntact());
    // The diagonal through the whole range crosses the picture on its diagonal.
    EXPECT_EQ(canvas.at(0, 0), kInk);
    EXPECT_EQ(canvas.at(15, 15), kInk);
}

TEST(DrawLine, AnEmptyViewDrawsNothing)
{
    drawLine(ViewCanvas{}, 0, 0, 5, 5, false, kInk); // must not touch memory
    TestModel model;
    EXPECT_TRUE(ViewCanvas::of(model.picture).empty());
}

} // namespace
} // namespace plexor::test

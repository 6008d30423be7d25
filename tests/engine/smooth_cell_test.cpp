#include "engine/smooth_cell.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/deform_cell.h"
#include "engine/smooth_cell_internal.h"
#include "tests/support/ideal_deformation.h"
#include "tests/support/model_setup.h"
#include "tests/support/natural_picture.h"

namespace plexor::test {
namespace {

using Move = std::function<std::pair<double, double>(double x, double y)>;

// A model of `picture` with a grid at `step` whose points off the outer ring
// are moved by `move` of their grid position, rounded.
std::unique_ptr<TestModel> deformedModel(const Pixels& picture, std::int32_t step, const Move& move)
{
    auto m = std::make_unique<TestModel>();
    loadPicture(*m, picture.width, picture.height, [&](std::int32_t x, std::int32_t y) { return picture.at(x, y); });
    m->layGrid(step);
    for (std::int32_t r = 1; r + 1 < m->grid.shape().pointRows; ++r)
        for (std::int32_t c = 1; c + 1 < m->grid.shape().pointCols; ++c) {
            const ControlPoint& p = m->grid.point(c, r);
            const auto [dx, dy] = move(p.x, p.y);
            m->displace(c, r, static_cast<std::int32_t>(std::lround(dx)), static_cast<std::int32_t>(std::lround(dy)));
        }
    return m;
}

std::unique_ptr<TestModel> deformedModel(std::int32_t width, std::int32_t height, std::int32_t step, const Move& move)
{
    return deformedModel(Pixels{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)}, step, move);
}

std::vector<CellRef> cellsWhere(const GridGeometry& g, const std::function<bool(CellRef)>& keep)
{
    std::vector<CellRef> cells;
    for (std::int32_t r = 0; r < g.cellRows; ++r)
        for (std::int32_t c = 0; c < g.cellCols; ++c)
            if (keep({c, r})) cells.push_back({c, r});
    return cells;
}

// The cells whose 16 points are all real.
std::vector<CellRef> interiorCells(const GridGeometry& g)
{
    return cellsWhere(
        g, [&](CellRef c) { return c.col >= 1 && c.row >= 1 && c.col + 2 < g.pointCols && c.row + 2 < g.pointRows; });
}

std::vector<CellRef> allCells(const GridGeometry& g)
{
    return cellsWhere(g, [](CellRef) { return true; });
}

// A picture's planes, as many as the test asks for: colours of 8 or 16 bits,
// alpha of none, 8 or 16 bits; random sources, and work planes all 0x5A.
struct OwnedPlanes {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> source, sourceAlpha, sourceLow, sourceAlphaLow;
    std::vector<std::uint8_t> work, workAlpha, workLow, workAlphaLow;

    OwnedPlanes(std::int32_t w, std::int32_t h, bool deep, int alphaBits, std::uint32_t seed) : width(w), height(h)
    {
        std::mt19937 rng(seed);
        const std::size_t n = std::size_t(w) * h;
        const auto make = [&](std::vector<std::uint8_t>& from, std::vector<std::uint8_t>& to, std::size_t size) {
            from.resize(size);
            for (std::uint8_t& b : from) b = static_cast<std::uint8_t>(rng());
            to.assign(size, 0x5A);
        };
        make(source, work, 3 * n);
        if (deep) make(sourceLow, workLow, 3 * n);
        if (alphaBits > 0) {
            make(sourceAlpha, workAlpha, n);
            // Fully transparent and fully opaque pixels, not only partly.
            for (std::uint8_t& a : sourceAlpha) a = a < 64 ? 0 : a > 192 ? 255 : a;
        }
        if (alphaBits == 16) make(sourceAlphaLow, workAlphaLow, n);
    }
    SmoothPlanes planes()
    {
        const auto in = [](const std::vector<std::uint8_t>& v) { return v.empty() ? nullptr : v.data(); };
        const auto out = [](std::vector<std::uint8_t>& v) { return v.empty() ? nullptr : v.data(); };
        return {in(source), in(sourceAlpha), in(sourceLow), in(sourceAlphaLow),
                out(work),  out(workAlpha),  out(workLow),  out(workAlphaLow),
                width,      height};
    }
    // Every source plane beside the work plane that goes with it.
    std::vector<std::pair<const std::vector<std::uint8_t>*, const std::vector<std::uint8_t>*>> pairs() const
    {
        std::vector<std::pair<const std::vector<std::uint8_t>*, const std::vector<std::uint8_t>*>> p{{&source, &work}};
        if (!sourceAlpha.empty()) p.push_back({&sourceAlpha, &workAlpha});
        if (!sourceLow.empty()) p.push_back({&sourceLow, &workLow});
        if (!sourceAlphaLow.empty()) p.push_back({&sourceAlphaLow, &workAlphaLow});
        return p;
    }
};

struct Format {
    bool deep;
    int alphaBits;
};
constexpr Format kFormats[] = {{false, 0}, {false, 8}, {true, 0}, {true, 8}, {true, 16}};

void renderCells(SmoothPlanes planes, const TestModel& m, const std::vector<CellRef>& cells, const PixelRect& band,
                 SmoothKernel kind = SmoothKernel::Best)
{
    for (const CellRef cell : cells)
        smoothCell(planes, m.grid.shape(), cell,
                   gatherCellTerms(m.grid.sampling(), m.picture.width(), m.picture.height(), cell.col, cell.row), band,
                   kind);
}

// The model's work picture with every cell rendered smoothly, in order.
std::vector<std::uint8_t> smoothResult(const TestModel& m)
{
    std::vector<std::uint8_t> work(m.picture.work().colours.data(),
                                   m.picture.work().colours.data() + m.picture.work().colours.size());
    SmoothPlanes planes;
    planes.source = m.picture.source().colours.data();
    planes.work = work.data();
    planes.width = m.picture.width();
    planes.height = m.picture.height();
    renderCells(planes, m, allCells(m.grid.shape()), PixelRect{0, 0, m.picture.width(), m.picture.height()});
    return work;
}

// The model's work picture with every cell deformed by the exact kernel, as
// the worker deforms a batch.
std::vector<std::uint8_t> exactResult(TestModel& m)
{
    m.picture.clearAllMarks();
    for (const CellRef cell : allCells(m.grid.shape())) m.deform(cell);
    return std::vector<std::uint8_t>(m.picture.work().colours.data(),
                                     m.picture.work().colours.data() + m.picture.work().colours.size());
}

struct AccuracyCase {
    const char* name;
    std::int32_t side, step;
    Move move;
};

TEST(SmoothCell, ComesCloseToTheIdealWhereTheExactKernelDoesNot)
{
    const auto radial = [](double side, double strength, double spread) -> Move {
        return [=](double x, double y) {
            const double cx = x - side / 2, cy = y - side / 2;
            const double f = strength * std::exp(-(cx * cx + cy * cy) / (2 * spread * spread));
            return std::pair{cx * f, cy * f};
        };
    };
    const AccuracyCase cases[] = {
        {"magnify", 320, 64, radial(320, 0.3, 90)},
        {"minify", 300, 50, radial(300, -0.45, 80)},
        {"wave", 280, 40,
         [](double x, double y) {
             return std::pair{9 * std::sin(y / 23.0), 9 * std::sin(x / 29.0)};
         }},
    };
    for (const AccuracyCase& c : cases) {
        const Pixels picture = naturalPicture(c.side, c.side, 7);
        const std::unique_ptr<TestModel> m = deformedModel(picture, c.step, c.move);
        const std::vector<CellRef> all = allCells(m->grid.shape());
        const std::vector<CellRef> measured = interiorCells(m->grid.shape());
        const RealPicture ideal = idealDeformation(
            m->picture.source().colours.data(), c.side, c.side, m->grid.shape(), all,
            [&](CellRef cell) {
                return gatherCellTerms(m->grid.sampling(), m->picture.width(), m->picture.height(), cell.col, cell.row);
            },
            m->picture.work().colours.data());
        const double smooth = peakSignalToNoise(smoothResult(*m).data(), ideal, m->grid.shape(), measured);
        const double exact = peakSignalToNoise(exactResult(*m).data(), ideal, m->grid.shape(), measured);
        std::printf("%s: smooth %.2f dB, exact %.2f dB\n", c.name, smooth, exact);
        ::testing::Test::RecordProperty(std::string(c.name) + "_smooth_db", std::to_string(smooth));
        ::testing::Test::RecordProperty(std::string(c.name) + "_exact_db", std::to_string(exact));
        EXPECT_GE(smooth, 40.0) << c.name;
        EXPECT_GE(smooth, exact + 10.0) << c.name;
    }
}

// At rest every cell gives back its source pixels bit for bit, in every
// plane (the colours of fully transparent pixels included), and the strips
// outside the grid are not written.
TEST(SmoothCell, AtRestReproducesEveryPlaneAndLeavesTheMarginsAlone)
{
    struct Grid {
        std::int32_t width, height, step;
    };
    for (const Grid g : {Grid{100, 70, 16}, Grid{64, 41, 7}, Grid{96, 96, 48}, Grid{20, 13, 1}, Grid{52, 60, 5}})
        for (const Format f : kFormats) {
            const auto m = deformedModel(g.width, g.height, g.step, [](double, double) { return std::pair{0.0, 0.0}; });
            OwnedPlanes p(g.width, g.height, f.deep, f.alphaBits, 3);
            renderCells(p.planes(), *m, allCells(m->grid.shape()), {0, 0, g.width, g.height});
            const GridGeometry& grid = m->grid.shape();
            for (const auto& [from, to] : p.pairs()) {
                const std::size_t bytes = from->size() / (std::size_t(g.width) * g.height);
                for (std::int32_t y = 0; y < g.height; ++y)
                    for (std::int32_t x = 0; x < g.width; ++x)
                        for (std::size_t b = 0; b < bytes; ++b) {
                            const std::size_t at = (std::size_t(y) * g.width + x) * bytes + b;
                            const bool inGrid =
                                x >= grid.marginX && x < grid.right() && y >= grid.marginY && y < grid.bottom();
                            ASSERT_EQ((*to)[at], inGrid ? (*from)[at] : 0x5A)
                                << g.width << "x" << g.height << " step " << g.step << " deep " << f.deep << " alpha "
                                << f.alphaBits << " at " << x << ", " << y;
                        }
            }
        }
}

// Every point off the outer ring moved by the same whole step shifts the
// cells whose 16 points all moved by exactly that step.
TEST(SmoothCell, AWholeShiftOfThePointsShiftsTheInteriorExactly)
{
    for (const std::pair<int, int>& shift : {std::pair{3, -2}, std::pair{-5, 4}})
        for (const Format f : kFormats) {
            const int dx = shift.first, dy = shift.second;
            const auto m = deformedModel(160, 120, 16, [=](double, double) {
                return std::pair{double(dx), double(dy)};
            });
            OwnedPlanes p(160, 120, f.deep, f.alphaBits, 4);
            renderCells(p.planes(), *m, allCells(m->grid.shape()), {0, 0, 160, 120});
            const GridGeometry& g = m->grid.shape();
            // The cells whose points all moved: columns and rows 2 to count - 3.
            const std::int32_t x0 = g.marginX + 2 * g.step + dx, x1 = g.marginX + (g.cellCols - 2) * g.step + dx;
            const std::int32_t y0 = g.marginY + 2 * g.step + dy, y1 = g.marginY + (g.cellRows - 2) * g.step + dy;
            for (const auto& [from, to] : p.pairs()) {
                const std::size_t bytes = from->size() / (std::size_t(160) * 120);
                for (std::int32_t y = y0; y < y1; ++y)
                    for (std::int32_t x = x0; x < x1; ++x)
                        for (std::size_t b = 0; b < bytes; ++b)
                            ASSERT_EQ((*to)[(std::size_t(y) * 160 + x) * bytes + b],
                                      (*from)[(std::size_t(y - dy) * 160 + x - dx) * bytes + b])
                                << "deep " << f.deep << " alpha " << f.alphaBits << " at " << x << ", " << y;
            }
        }
}

Move wave(double amplitude)
{
    return [=](double x, double y) {
        return std::pair{amplitude * std::sin(y / 11.0), amplitude * std::sin(x / 13.0)};
    };
}

// Alpha is interpolated premultiplied: an opaque red square on transparent
// black keeps pure red wherever its soft edge shows at all.
TEST(SmoothCell, TransparentNeighboursLendNoColour)
{
    const auto m = deformedModel(96, 96, 16, wave(5));
    OwnedPlanes p(96, 96, false, 8, 5);
    for (std::int32_t y = 0; y < 96; ++y)
        for (std::int32_t x = 0; x < 96; ++x) {
            const bool red = x >= 30 && x < 66 && y >= 30 && y < 66;
            const std::size_t at = std::size_t(y) * 96 + x;
            p.sourceAlpha[at] = red ? 255 : 0;
            p.source[3 * at] = p.source[3 * at + 1] = 0;
            p.source[3 * at + 2] = red ? 255 : 0;
        }
    renderCells(p.planes(), *m, allCells(m->grid.shape()), {0, 0, 96, 96});
    int soft = 0;
    for (std::size_t at = 0; at < p.workAlpha.size(); ++at) {
        if (p.workAlpha[at] == 0 || p.workAlpha[at] == 0x5A) continue;
        soft += p.workAlpha[at] < 255;
        ASSERT_EQ(pixelAt(p.work.data(), 96, std::int32_t(at % 96), std::int32_t(at / 96)), (Rgb{255, 0, 0}))
            << "alpha " << int(p.workAlpha[at]) << " at " << at % 96 << ", " << at / 96;
    }
    EXPECT_GT(soft, 50) << "the square's edge is soft";
}

// Two cells that share an edge share none of its pixels and leave none out:
// over a deformation without folds every pixel of the interior is written,
// and rendering the cells in the opposite order changes no bit.
TEST(SmoothCell, NeighbouringCellsMeetWithoutGapsOrOverlaps)
{
    const auto m = deformedModel(120, 100, 12, wave(4));
    std::vector<CellRef> cells = allCells(m->grid.shape());
    OwnedPlanes forward(120, 100, false, 8, 6);
    std::fill(forward.sourceAlpha.begin(), forward.sourceAlpha.end(), 255);
    std::fill(forward.workAlpha.begin(), forward.workAlpha.end(), 0);
    OwnedPlanes backward = forward;
    renderCells(forward.planes(), *m, cells, {0, 0, 120, 100});
    std::reverse(cells.begin(), cells.end());
    renderCells(backward.planes(), *m, cells, {0, 0, 120, 100});
    EXPECT_EQ(forward.work, backward.work);
    const GridGeometry& g = m->grid.shape();
    for (std::int32_t y = g.marginY + g.step; y < g.bottom() - g.step; ++y)
        for (std::int32_t x = g.marginX + g.step; x < g.right() - g.step; ++x)
            ASSERT_EQ(forward.workAlpha[std::size_t(y) * 120 + x], 255) << "a hole at " << x << ", " << y;
}

// Points dragged far past their neighbours fold the picture over itself.
Move folds(std::uint32_t seed, std::int32_t reach)
{
    auto rng = std::make_shared<std::mt19937>(seed);
    return [=](double, double) {
        std::uniform_int_distribution<std::int32_t> d(-reach, reach);
        return std::pair{double(d(*rng)), double(d(*rng))};
    };
}

// Each pixel's bits depend on the cell and the pixel alone: bands of any
// cut, each rendering every cell in turn, give what the whole picture gives,
// and a band writes nothing outside itself.
TEST(SmoothCell, AnyCutIntoBandsGivesTheSameBits)
{
    const auto m = deformedModel(104, 84, 12, folds(8, 11));
    const std::vector<CellRef> cells = allCells(m->grid.shape());
    OwnedPlanes whole(104, 84, false, 8, 9);
    const OwnedPlanes untouched = whole;
    renderCells(whole.planes(), *m, cells, {0, 0, 104, 84});
    for (const std::vector<std::int32_t>& cut :
         {std::vector<std::int32_t>{0, 37, 104}, std::vector<std::int32_t>{0, 1, 2, 50, 51, 103, 104},
          std::vector<std::int32_t>{0, 20, 40, 60, 80, 100, 104}}) {
        OwnedPlanes bands = untouched;
        for (std::size_t b = 0; b + 1 < cut.size(); ++b) {
            OwnedPlanes alone = untouched;
            const PixelRect band{cut[b], 0, cut[b + 1], 84};
            renderCells(alone.planes(), *m, cells, band);
            renderCells(bands.planes(), *m, cells, band);
            for (std::int32_t y = 0; y < 84; ++y)
                for (std::int32_t x = 0; x < 104; ++x)
                    if (!band.contains(x, y)) {
                        ASSERT_EQ(alone.workAlpha[std::size_t(y) * 104 + x], 0x5A) << "outside the band";
                    }
        }
        EXPECT_EQ(bands.work, whole.work);
        EXPECT_EQ(bands.workAlpha, whole.workAlpha);
    }
}

// Every kernel gives the plain, literal form's bits, in every format, over
// folds, shrinking (sub-sampled) and stretching, and the picture's edges.
TEST(SmoothCell, EveryKernelGivesTheLiteralBits)
{
    const auto m = deformedModel(136, 112, 16, folds(13, 15));
    for (const Format f : kFormats) {
        OwnedPlanes literal(136, 112, f.deep, f.alphaBits, 14);
        const OwnedPlanes untouched = literal;
        renderCells(literal.planes(), *m, allCells(m->grid.shape()), {0, 0, 136, 112}, SmoothKernel::Literal);
        for (const SmoothKernel kind : {SmoothKernel::Portable, SmoothKernel::Avx2, SmoothKernel::Best}) {
            if (!smoothKernelAvailable(kind)) continue;
            OwnedPlanes fast = untouched;
            renderCells(fast.planes(), *m, allCells(m->grid.shape()), {0, 0, 136, 112}, kind);
            for (std::size_t i = 0; i < fast.pairs().size(); ++i)
                EXPECT_EQ(*fast.pairs()[i].second, *literal.pairs()[i].second)
                    << "kernel " << int(kind) << " deep " << f.deep << " alpha " << f.alphaBits << " plane " << i;
        }
    }
}

// smoothCellReach holds every pixel a cell writes, however far its points
// are dragged.
TEST(SmoothCell, ReachHoldsEveryPixelTheCellWrites)
{
    const auto m = deformedModel(100, 76, 12, folds(10, 30));
    for (const CellRef cell : allCells(m->grid.shape())) {
        OwnedPlanes p(100, 76, false, 8, 11);
        std::fill(p.sourceAlpha.begin(), p.sourceAlpha.end(), 255);
        const CellTerms terms =
            gatherCellTerms(m->grid.sampling(), m->picture.width(), m->picture.height(), cell.col, cell.row);
        smoothCell(p.planes(), m->grid.shape(), cell, terms, {0, 0, 100, 76});
        const PixelRect reach = smoothCellReach(m->grid.shape(), cell, terms, 100, 76);
        for (std::int32_t y = 0; y < 76; ++y)
            for (std::int32_t x = 0; x < 100; ++x)
                if (p.workAlpha[std::size_t(y) * 100 + x] != 0x5A) {
                    ASSERT_TRUE(reach.contains(x, y)) << cell.col << ", " << cell.row << " wrote " << x << ", " << y;
                }
    }
    // Far out along a picture millions of pixels wide, a cell at rest
    // reaches its own square.
    const GridGeometry wide = gridGeometryFor(1 << 22, 64, 48);
    const CellRef far{80000, 0};
    CellTerms rest;
    for (int q = 0; q < 16; ++q) {
        rest.x[q] = wide.marginX + std::int64_t{far.col + q % 4 - 1} * 48;
        const std::int64_t rows[4] = {0, wide.marginY, wide.marginY + 48, 64};
        rest.y[q] = rows[q / 4];
    }
    const PixelRect square{wide.marginX + far.col * 48, wide.marginY, wide.marginX + far.col * 48 + 48,
                           wide.marginY + 48};
    EXPECT_EQ(smoothCellReach(wide, far, rest, 1 << 22, 64).intersection(square), square);
}

// A deep picture is interpolated on its 16-bit values: one whose values are
// 257 times an 8-bit picture's deforms to 257 times that picture's result,
// within the rounding of the 8-bit one.
TEST(SmoothCell, DeepPicturesInterpolateAllSixteenBits)
{
    const auto m = deformedModel(96, 80, 16, wave(6));
    OwnedPlanes bytes(96, 80, false, 0, 12);
    OwnedPlanes deep(96, 80, true, 0, 12);
    deep.source = deep.sourceLow = bytes.source;
    renderCells(bytes.planes(), *m, allCells(m->grid.shape()), {0, 0, 96, 80});
    renderCells(deep.planes(), *m, allCells(m->grid.shape()), {0, 0, 96, 80});
    int inexact = 0;
    for (std::size_t at = 0; at < bytes.work.size(); ++at) {
        const int wide = deep.work[at] << 8 | deep.workLow[at];
        ASSERT_LE(std::abs(wide - 257 * bytes.work[at]), 129) << at;
        inexact += wide % 257 != 0;
    }
    EXPECT_GT(inexact, 1000) << "values between those of 8 bits";
}

} // namespace
} // namespace plexor::test

#include "engine/grid_file.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "engine/parallel_deform.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

const std::string kHead = "plexor-grid 1\nsize 100 80\nstep 10\n";

TEST(GridFile, WritesAndReadsBackTheModelsGrid)
{
    DeformModel m;
    LoadPicture(m, 100, 80);
    m.LayGrid(10);
    m.Point(3, 2).DX = -9;
    m.Point(1, 7).DY = 4;
    m.Point(9, 1).DX = 1;
    m.Point(9, 1).DY = -1;
    const GridFile kept = GridFileOf(m);
    const std::string text = WriteGridFile(kept);
    EXPECT_EQ(text, kHead + "point 9 1 1 -1\npoint 3 2 -9 0\npoint 1 7 0 4\n");

    const auto read = ParseGridFile(text);
    ASSERT_TRUE(std::holds_alternative<GridFile>(read)) << std::get<GridFileError>(read).Reason;
    const GridFile& back = std::get<GridFile>(read);
    EXPECT_EQ(back.Points, kept.Points);
    EXPECT_EQ(back.Points[1].Line, 5);
    EXPECT_FALSE(CheckGridFile(back, 100, 80));
    EXPECT_EQ(WriteGridFile(back), text);

    // Comments, blank lines, runs of blanks and line ends of either kind.
    const auto loose = ParseGridFile("# kept by hand\r\n\r\nplexor-grid\t1\r\n  size 100   80\n# mid\nstep 10\n"
                                     "point 9 1 1 -1\npoint 3 2 -9 0\npoint 1 7 0 4");
    ASSERT_TRUE(std::holds_alternative<GridFile>(loose));
    EXPECT_EQ(std::get<GridFile>(loose).Points, kept.Points);
}

TEST(GridFile, RefusesEachFaultWithItsLine)
{
    struct Case {
        std::string Text;
        int Line;
        std::string Reason;
    };
    const Case cases[] = {
        {"", 1, "no \"plexor-grid 1\" line"},
        {"# only a comment\n", 2, "no \"plexor-grid 1\" line"},
        {"P6\n1 1\n", 1, "not a grid file"},
        {"plexor-grid 2\n", 1, "version 2"},
        {"plexor-grid 1\n# size next\n\nstep 4\n", 4, "\"size W H\" line must come next"},
        {"plexor-grid 1\nsize 100 x\n", 2, "'x' is not a whole number"},
        {"plexor-grid 1\nsize 100 80 3\n", 2, "takes a width and a height"},
        {"plexor-grid 1\nsize 100 80\n", 3, "ends before its step line"},
        {"plexor-grid 1\nsize 100 80\nstep 0\n", 3, "at least 1"},
        {kHead + "point 1 1 1\n", 4, "takes a column"},
        {kHead + "point 1 1 1 4294967296\n", 4, "'4294967296' is not a whole number"},
        {kHead + "point 1 1 0 0\nsize 100 80\n", 5, "only points follow"},
    };
    for (const Case& c : cases) {
        const auto read = ParseGridFile(c.Text);
        ASSERT_TRUE(std::holds_alternative<GridFileError>(read)) << c.Text;
        const GridFileError& error = std::get<GridFileError>(read);
        EXPECT_EQ(error.Line, c.Line) << c.Text;
        EXPECT_NE(error.Reason.find(c.Reason), std::string::npos) << error.Reason;
    }

    // Against a 100 x 80 picture: a grid of 11 x 9 points at step 10.
    const Case unsuited[] = {
        {"plexor-grid 1\nsize 104 80\nstep 10\n", 2, "made on a picture of 104 x 80 pixels, and this one is 100 x 80"},
        {kHead + "point 2 2 1 1\npoint 11 3 0 1\n", 5, "point 11 3 lies outside the grid"},
        {kHead + "point 3 -1 0 1\n", 4, "outside the grid"},
        {kHead + "point 0 3 0 1\n", 4, "outer ring"},
        {kHead + "point 3 8 0 1\n", 4, "outer ring"},
        {kHead + "point 3 3 10 0\n", 4, "a whole step (10) or more"},
        {kHead + "point 3 3 0 -10\n", 4, "a whole step"},
        {kHead + "point 3 3 1 1\npoint 4 4 1 1\npoint 5 5 1 1\npoint 4 4 2 2\npoint 3 3 0 0\n", 7,
         "point 4 4 is listed twice"},
    };
    for (const Case& c : unsuited) {
        const auto read = ParseGridFile(c.Text);
        ASSERT_TRUE(std::holds_alternative<GridFile>(read)) << c.Text;
        const std::optional<GridFileError> error = CheckGridFile(std::get<GridFile>(read), 100, 80);
        ASSERT_TRUE(error) << c.Text;
        EXPECT_EQ(error->Line, c.Line) << c.Text;
        EXPECT_NE(error->Reason.find(c.Reason), std::string::npos) << error->Reason;
    }
}

// Lays a grid file over a 100 x 80 picture and deforms its one batch.
void Apply(DeformModel& m, const std::string& text)
{
    const auto read = ParseGridFile(text);
    ASSERT_TRUE(std::holds_alternative<GridFile>(read));
    LoadPicture(m, 100, 80);
    LayGridFile(m, std::get<GridFile>(read));
    const std::vector<TCellRef> cells = DisplacedCells(m);
    DeformCellsInParallel(m, cells, {});
}

TEST(GridFile, GivesOnePictureWhateverTheOrderOfItsLines)
{
    const std::string points[] = {"point 2 2 5 -3\n", "point 3 2 -7 6\n", "point 3 3 9 9\n", "point 8 6 -4 0\n"};
    DeformModel inOrder, reversed;
    Apply(inOrder, kHead + points[0] + points[1] + points[2] + points[3]);
    Apply(reversed, kHead + points[3] + points[2] + points[1] + points[0]);
    EXPECT_TRUE(SameBytes(inOrder.WorkImage, reversed.WorkImage));
    EXPECT_FALSE(SameBytes(inOrder.WorkImage, inOrder.SourceImage));

    // The batch: the cells around each displaced point once, row by row.
    DeformModel one;
    Apply(one, kHead + "point 8 6 -4 0\n");
    std::vector<TCellRef> expected;
    for (std::int32_t r = 4; r <= 7; ++r)
        for (std::int32_t c = 6; c <= 9; ++c) expected.push_back({c, r});
    const std::vector<TCellRef> cells = DisplacedCells(one);
    ASSERT_EQ(cells.size(), expected.size());
    EXPECT_TRUE(std::equal(cells.begin(), cells.end(), expected.begin(),
                           [](TCellRef a, TCellRef b) { return a.Col == b.Col && a.Row == b.Row; }));
}

} // namespace
} // namespace plexor::test

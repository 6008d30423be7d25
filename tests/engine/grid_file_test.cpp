#include "engine/grid_file.h"

#include <algorithm>
#include <limits>
#include <utility>

#include <gtest/gtest.h>

#include "engine/parallel_deform.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

const std::string kHead = "plexor-grid 1\nsize 100 80\nstep 10\n";

// A grid file's text, and the line and the words of the refusal it gets.
struct Case {
    std::string text;
    int line;
    std::string reason;
};

void expectParseRefusal(const Case& c)
{
    const auto read = parseGridFile(c.text);
    ASSERT_TRUE(std::holds_alternative<GridFileError>(read)) << c.text;
    const GridFileError& error = std::get<GridFileError>(read);
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.reason;
}

// Read, then refused by the checks against a 100 x 80 picture.
void expectCheckRefusal(const Case& c)
{
    const auto read = parseGridFile(c.text);
    ASSERT_TRUE(std::holds_alternative<GridFile>(read)) << c.text;
    const std::optional<GridFileError> error = checkGridFile(std::get<GridFile>(read), 100, 80);
    ASSERT_TRUE(error) << c.text;
    EXPECT_EQ(error->line, c.line) << c.text;
    EXPECT_NE(error->reason.find(c.reason), std::string::npos) << error->reason;
}

TEST(GridFile, WritesAndReadsBackTheModelsGrid)
{
    TestModel m;
    loadPicture(m, 100, 80);
    m.layGrid(10);
    m.displace(3, 2, -9, 0);
    m.displace(1, 7, 0, 4);
    m.displace(9, 1, 1, -1);
    const GridFile kept = gridFileOf(m.grid, 100, 80);
    const std::string text = writeGridFile(kept);
    EXPECT_EQ(text, kHead + "point 9 1 1 -1\npoint 3 2 -9 0\npoint 1 7 0 4\n");

    const auto read = parseGridFile(text);
    ASSERT_TRUE(std::holds_alternative<GridFile>(read)) << std::get<GridFileError>(read).reason;
    const GridFile& back = std::get<GridFile>(read);
    EXPECT_EQ(back.passes, kept.passes);
    EXPECT_EQ(back.passes[0].points[1].line, 5);
    EXPECT_FALSE(checkGridFile(back, 100, 80));
    EXPECT_EQ(writeGridFile(back), text);

    // Comments, blank lines, runs of blanks and line ends of either kind.
    const auto loose = parseGridFile("# kept by hand\r\n\r\nplexor-grid\t1\r\n  size 100   80\n# mid\nstep 10\n"
                                     "point 9 1 1 -1\npoint 3 2 -9 0\npoint 1 7 0 4");
    ASSERT_TRUE(std::holds_alternative<GridFile>(loose));
    EXPECT_EQ(std::get<GridFile>(loose).passes, kept.passes);
}

// Smooth resampling is a line of its own after the size, read back as it
// was; a file without it, or with "resample exact", is exact.
TEST(GridFile, RecordsSmoothResamplingAfterTheSize)
{
    TestModel m;
    loadPicture(m, 100, 80);
    m.layGrid(10);
    m.displace(3, 2, -9, 0);
    m.grid.setResampling(Resampling::Smooth);
    const std::string text = writeGridFile(gridFileOf(m.grid, 100, 80));
    EXPECT_EQ(text, "plexor-grid 1\nsize 100 80\nresample smooth\nstep 10\npoint 3 2 -9 0\n");
    const auto read = parseGridFile(text);
    ASSERT_TRUE(std::holds_alternative<GridFile>(read)) << std::get<GridFileError>(read).reason;
    EXPECT_EQ(std::get<GridFile>(read).resampling, Resampling::Smooth);
    EXPECT_EQ(writeGridFile(std::get<GridFile>(read)), text);
    for (const std::string& exact : {kHead, std::string("plexor-grid 2\nsize 100 80\n# comment\n\nresample exact\n"
                                                        "pass\nstep 10\n")}) {
        const auto plain = parseGridFile(exact);
        ASSERT_TRUE(std::holds_alternative<GridFile>(plain)) << std::get<GridFileError>(plain).reason;
        EXPECT_EQ(std::get<GridFile>(plain).resampling, Resampling::Exact);
    }
}

TEST(GridFile, RefusesEachFaultWithItsLine)
{
    const std::string head = "plexor-grid 2\nsize 100 80\n";
    std::string tooMany = head;
    for (int i = 0; i <= 100; ++i) tooMany += "pass\nstep 10\n";
    const Case cases[] = {
        {"", 1, "no \"plexor-grid 1\" line"},
        {"# only a comment\n", 2, "no \"plexor-grid 1\" line"},
        {"P6\n1 1\n", 1, "not a grid file"},
        {"plexor-grid 3\n", 1, "version 3"},
        {"plexor-grid 1\n# size next\n\nstep 4\n", 4, "\"size W H\" line must come next"},
        {"plexor-grid 1\nsize 100 x\n", 2, "'x' is not a whole number"},
        {"plexor-grid 1\nsize 100 80 3\n", 2, "takes a width and a height"},
        {"plexor-grid 1\nsize 100 80\n", 3, "ends before its step line"},
        {"plexor-grid 1\nsize 100 80\nstep 0\n", 3, "at least 1"},
        {kHead + "point 1 1 1\n", 4, "takes a column"},
        {kHead + "point 1 1 1 4294967296\n", 4, "'4294967296' is not a whole number"},
        {kHead + "point 1 1 0 0\nsize 100 80\n", 5, "only points follow"},
        // Version 2.
        {head, 3, "ends before its first pass"},
        {head + "step 10\n", 3, "a \"pass\" line must come next"},
        {head + "pass\npass\n", 4, "\"step N\" line must come next"},
        {head + "pass 2\n", 3, "'pass' takes nothing more"},
        {head + "pass\nstep 10\npoint 1 1 0 0\npass\n", 7, "ends before its step line"},
        {head + "pass\nstep 10\nsize 100 80\n", 5, "only points and passes follow"},
        {kHead + "pass\nstep 10\n", 4, "only points follow"},
        {tooMany, 203, "at most 100 passes"},
        {"plexor-grid 1\nsize 100 80\nresample cubic\n", 3, "takes \"exact\" or \"smooth\""},
        {"plexor-grid 1\nsize 100 80\nresample smooth\nresample smooth\n", 4, "right after the size line, once"},
        {kHead + "resample smooth\n", 4, "right after the size line"},
        {"plexor-grid 1\nresample smooth\n", 2, "\"size W H\" line must come next"},
    };
    for (const Case& c : cases) expectParseRefusal(c);

    // Against a 100 x 80 picture: a grid of 11 x 9 points at step 10.
    const Case unsuited[] = {
        {"plexor-grid 1\nsize 104 80\nstep 10\n", 2, "made on a picture of 104 x 80 pixels, and this one is 100 x 80"},
        {kHead + "point 2 2 1 1\npoint 11 3 0 1\n", 5, "point 11 3 lies outside the grid"},
        {kHead + "point 3 3 1 1\npoint 4 4 1 1\npoint 5 5 1 1\npoint 4 4 2 2\npoint 3 3 0 0\n", 7,
         "point 4 4 is listed twice"},
        // Version 2: the same checks, pass by pass.
        {head + "pass\nstep 10\npoint 3 3 1 1\npass\nstep 20\npoint 6 1 1 1\n", 8, "point 6 1 lies outside"},
        {head + "pass\nstep 10\npass\nstep 20\npoint 1 1 20 0\n", 7, "a whole step (20)"},
        {head + "pass\nstep 10\npoint 2 2 1 1\npass\nstep 10\npoint 2 2 1 1\npoint 2 2 0 1\n", 9, "listed twice"},
    };
    for (const Case& c : unsuited) expectCheckRefusal(c);
    // A lone point line after the head, refused at that line, the fourth.
    const std::pair<const char*, const char*> lonePoints[] = {
        {"3 -1 0 1", "outside the grid"},          {"0 3 0 1", "outer ring"},     {"3 8 0 1", "outer ring"},
        {"3 3 10 0", "a whole step (10) or more"}, {"3 3 0 -10", "a whole step"},
    };
    for (const auto& [point, reason] : lonePoints) expectCheckRefusal({kHead + "point " + point + "\n", 4, reason});
}

TEST(GridFile, KeepsSeveralPassesInVersion2)
{
    const std::string two = "plexor-grid 2\nsize 100 80\npass\nstep 10\npoint 3 2 -9 0\npass\n# fine\nstep 20\n"
                            "point 1 1 5 5\n";
    const auto read = parseGridFile(two);
    ASSERT_TRUE(std::holds_alternative<GridFile>(read)) << std::get<GridFileError>(read).reason;
    const GridFile& file = std::get<GridFile>(read);
    ASSERT_EQ(file.passes.size(), 2u);
    EXPECT_EQ(file.passes[1].step, 20);
    EXPECT_EQ(file.passes[1].stepLine, 8);
    EXPECT_EQ(file.passes[1].points[0].line, 9);
    EXPECT_FALSE(checkGridFile(file, 100, 80));
    EXPECT_EQ(writeGridFile(file), "plexor-grid 2\nsize 100 80\npass\nstep 10\npoint 3 2 -9 0\npass\nstep 20\n"
                                   "point 1 1 5 5\n");
    // One pass of version 2 is written as version 1.
    const auto single = parseGridFile("plexor-grid 2\nsize 100 80\npass\nstep 10\n");
    ASSERT_TRUE(std::holds_alternative<GridFile>(single));
    EXPECT_EQ(writeGridFile(std::get<GridFile>(single)), kHead);
}

// Lays a grid file over a 100 x 80 picture and deforms its one batch.
void applyText(TestModel& m, const std::string& text)
{
    const auto read = parseGridFile(text);
    ASSERT_TRUE(std::holds_alternative<GridFile>(read));
    loadPicture(m, 100, 80);
    ASSERT_FALSE(layGridFile(m.grid, m.picture, m.work, std::get<GridFile>(read),
                             std::numeric_limits<std::uint64_t>::max(), [&](std::span<const CellRef> cells, bool) {
                                 deformCellsInParallel(m.grid.sampling(), m.picture.splatTarget(), cells, {});
                             }));
}

TEST(GridFile, GivesOnePictureWhateverTheOrderOfItsLines)
{
    const std::string points[] = {"point 2 2 5 -3\n", "point 3 2 -7 6\n", "point 3 3 9 9\n", "point 8 6 -4 0\n"};
    TestModel inOrder, reversed;
    applyText(inOrder, kHead + points[0] + points[1] + points[2] + points[3]);
    applyText(reversed, kHead + points[3] + points[2] + points[1] + points[0]);
    EXPECT_TRUE(sameBytes(inOrder.picture.work(), reversed.picture.work()));
    EXPECT_FALSE(sameBytes(inOrder.picture.work(), inOrder.picture.source()));

    // The batch: the cells around each displaced point once, row by row.
    TestModel one;
    applyText(one, kHead + "point 8 6 -4 0\n");
    std::vector<CellRef> expected;
    for (std::int32_t r = 4; r <= 7; ++r)
        for (std::int32_t c = 6; c <= 9; ++c) expected.push_back({c, r});
    const std::vector<CellRef> cells = displacedCells(one.grid);
    ASSERT_EQ(cells.size(), expected.size());
    EXPECT_TRUE(std::equal(cells.begin(), cells.end(), expected.begin(),
                           [](CellRef a, CellRef b) { return a.col == b.col && a.row == b.row; }));
}

} // namespace
} // namespace plexor::test

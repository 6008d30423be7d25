// A drag shown live: every frame the view shows while the pointer moves is,
// bit for bit, the picture a release at that moment gives, and no frame
// reaches the picture the worker keeps or the history.

#include <vector>

#include <gtest/gtest.h>

#include "app/main_commands.h"
#include "tests/support/shell_fakes.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

struct Move {
    std::int32_t x, y;
    bool shift = false;
};

// A press at `press` after Ctrl+clicks on `chosen`, then moves.
struct Gesture {
    std::vector<Move> chosen;
    Move press;
    std::vector<Move> moves;
};

// The program without a window, a picture open under a grid of step 24 and
// the overlay off, so that the view shows the picture alone.
struct Session : FakeShell {
    explicit Session(const std::string& picture, Resampling resampling = Resampling::Exact)
    {
        commands.start();
        EXPECT_TRUE(commands.document().openFile(picture));
        grid.answers.push_back("24");
        commands.grid().layNewGrid();
        commands.grid().setResampling(resampling);
        commands.view().toggleGridShown();
        settle();
    }
    void settle() { ASSERT_TRUE(serveUntilIdle(commands.worker())); }
    // The gesture's chosen points, press and first `moves` moves.
    void begin(const Gesture& g, std::size_t moves)
    {
        for (const Move& m : g.chosen) {
            commands.mouse().press(m.x, m.y, KeyModifiers{false, true});
            commands.mouse().release(m.x, m.y, KeyModifiers{false, true});
        }
        commands.mouse().press(g.press.x, g.press.y);
        for (std::size_t k = 0; k < moves; ++k) move(g.moves[k]);
    }
    void move(const Move& m) { commands.mouse().move(m.x, m.y, KeyModifiers{m.shift, false}); }
    std::vector<std::uint8_t> view() { return bytes(commands.buffers().view().colours); }
    std::vector<std::uint8_t> work() { return bytes(commands.buffers().work().colours); }
    static std::vector<std::uint8_t> bytes(const ByteBuffer& b) { return {b.data(), b.data() + b.size()}; }

    MainCommands commands{ports()};
};

class LiveFrames : public ::testing::Test {
protected:
    // What the view shows after each move of `g`, the worker done.
    std::vector<std::vector<std::uint8_t>> frames(const Gesture& g)
    {
        Session live(picture_, resampling_);
        live.begin(g, 0);
        std::vector<std::vector<std::uint8_t>> shown;
        for (const Move& m : g.moves) {
            live.move(m);
            live.settle();
            shown.push_back(live.view());
        }
        return shown;
    }
    // The picture a release after the first `moves` moves of `g` gives, at
    // the moment a frame is shown: each move's batches deformed before the
    // next move, as the worker has them done when it computes a frame.
    std::vector<std::uint8_t> released(const Gesture& g, std::size_t moves)
    {
        Session session(picture_, resampling_);
        session.begin(g, 0);
        for (std::size_t k = 0; k < moves; ++k) {
            session.move(g.moves[k]);
            session.settle();
        }
        const Move& at = g.moves[moves - 1];
        session.commands.mouse().release(at.x, at.y);
        session.settle();
        return session.work();
    }
    void expectEveryFrameReleased(const Gesture& g)
    {
        const std::vector<std::vector<std::uint8_t>> shown = frames(g);
        for (std::size_t k = 1; k <= g.moves.size(); ++k)
            EXPECT_TRUE(shown[k - 1] == released(g, k)) << "after move " << k;
    }

    TempFolder folder_;
    const std::string picture_ = writeBmp(folder_, "picture.bmp", gradient24(196, 150));
    Resampling resampling_ = Resampling::Exact;
};

// Point (c, r) lies at (2 + 24 c, 3 + 24 r).
TEST_F(LiveFrames, FollowOnePointMoveByMove)
{
    expectEveryFrameReleased({{}, {74, 75}, {{79, 78}, {85, 71}, {67, 84}, {69, 86}}});
}

TEST_F(LiveFrames, FollowADragBackToWhereItStarted)
{
    expectEveryFrameReleased({{}, {74, 75}, {{83, 81}, {89, 75}, {74, 75}}});
}

TEST_F(LiveFrames, FollowAHandOverWithTheCellsItQueued)
{
    // Handed over, then back to the first point.
    expectEveryFrameReleased({{}, {74, 75}, {{84, 75}, {104, 79}, {109, 83}, {74, 75}}});
}

TEST_F(LiveFrames, FollowAnAxisLockedDrag)
{
    expectEveryFrameReleased({{}, {74, 75}, {{82, 78, true}, {86, 90, true}, {80, 70, true}}});
}

TEST_F(LiveFrames, FollowTheChosenPointsMovedTogether)
{
    expectEveryFrameReleased({{{74, 75}, {98, 75}, {74, 99}}, {74, 75}, {{80, 77}, {69, 84}, {74, 75}}});
}

TEST_F(LiveFrames, FollowADragRenderedSmoothly)
{
    resampling_ = Resampling::Smooth;
    expectEveryFrameReleased({{}, {74, 75}, {{79, 78}, {85, 71}, {67, 84}, {69, 86}}});
    expectEveryFrameReleased({{}, {74, 75}, {{84, 75}, {104, 79}, {109, 83}, {74, 75}}});
}

TEST_F(LiveFrames, NeitherThePictureKeptNorTheHistorySeesAFrame)
{
    Session live(picture_);
    const std::vector<std::uint8_t> before = live.work();
    const std::size_t history = live.commands.history().edits().bytes();
    live.begin({{}, {74, 75}, {}}, 0);
    EXPECT_TRUE(live.view() == before) << "a press that has not moved leaves the picture";
    for (const Move& m : {Move{80, 79}, Move{86, 70}}) {
        live.move(m);
        live.settle();
        EXPECT_TRUE(live.view() != before) << "the frame is shown";
        EXPECT_TRUE(live.work() == before) << "the worker's picture has not seen it";
        EXPECT_EQ(live.commands.history().edits().bytes(), history);
    }
    live.commands.mouse().release(86, 70);
    live.settle();
    const std::vector<std::uint8_t> after = live.work();
    EXPECT_TRUE(live.view() == after) << "the release's picture replaces the frame";
    live.commands.undo();
    EXPECT_TRUE(live.work() == before) << "the drag undone, as every drag is";
    live.commands.history().redo();
    EXPECT_TRUE(live.work() == after);
}

TEST_F(LiveFrames, OffTheDragShowsOnlyTheOverlayAsItDidAndStaysOff)
{
    Session off(picture_);
    off.commands.setLivePreview(false);
    const std::vector<std::uint8_t> before = off.view();
    off.begin({{}, {74, 75}, {{80, 79}}}, 1);
    off.settle();
    EXPECT_TRUE(off.view() == before);
    EXPECT_EQ(off.settings.stringList("livePreview"), std::vector<std::string>{"off"});
}

} // namespace
} // namespace plexor::test

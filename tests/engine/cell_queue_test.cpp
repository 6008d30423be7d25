#include <algorithm>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "engine/deform_cell.h"
#include "engine/deform_model.h"
#include "engine/my_thread.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

// A worker whose body ends at once; wake-ups only start it.
class CountingThread : public TThread {
public:
    ~CountingThread() override
    {
        Terminate();
        WaitFor();
    }

protected:
    void Execute() override {}
};

std::vector<TCellRef> Cells(int c0, int r0, int c1, int r1)
{
    std::vector<TCellRef> cells;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) cells.push_back({c, r});
    return cells;
}

// A 480 x 480 picture with a grid at step 48: 10 x 10 cells.
class QueueCellsAroundTest : public ::testing::Test {
protected:
    QueueCellsAroundTest()
    {
        LoadPicture(m, 480, 480);
        m.LayGrid(48);
    }
    DeformModel m;
    CountingThread worker;
};

TEST_F(QueueCellsAroundTest, CornerPointQueuesItsFourCellsThenAMarker)
{
    QueueCellsAround(m, worker, 0, 0);
    std::vector<TCellRef> expected = Cells(0, 0, 1, 1);
    expected.push_back(RefreshMarker);
    EXPECT_EQ(m.CellQueue.Snapshot(), expected);
    EXPECT_EQ(m.CellQueued[0], 1);
    EXPECT_EQ(m.CellQueued[1], 1);
    EXPECT_EQ(m.CellQueued[10], 1);
    EXPECT_EQ(m.CellQueued[11], 1);
    EXPECT_EQ(m.CellQueued[2], 0);
}

TEST_F(QueueCellsAroundTest, InteriorPointQueuesSixteenCellsInRowMajorOrder)
{
    QueueCellsAround(m, worker, 5, 4);
    std::vector<TCellRef> expected = Cells(3, 2, 6, 5);
    expected.push_back(RefreshMarker);
    EXPECT_EQ(m.CellQueue.Snapshot(), expected);
    EXPECT_EQ(m.CellQueue.Size(), 17u);

    // A second call before the worker took anything appends only a marker.
    QueueCellsAround(m, worker, 5, 4);
    expected.push_back(RefreshMarker);
    EXPECT_EQ(m.CellQueue.Snapshot(), expected);

    // A neighbour shares cells with the first point: only the new ones come.
    QueueCellsAround(m, worker, 6, 4);
    const std::vector<TCellRef> after = m.CellQueue.Snapshot();
    std::vector<TCellRef> tail(after.begin() + 18, after.end());
    std::vector<TCellRef> fresh = {{7, 2}, {7, 3}, {7, 4}, {7, 5}, RefreshMarker};
    EXPECT_EQ(tail, fresh);
}

TEST(QueueCellsAround, GridWithoutCellsQueuesOnlyAMarker)
{
    DeformModel m;
    m.GridStepX = m.GridStepY = 48;
    m.BuildGrid(); // no picture: one point, no cell
    m.BuildWeightTables();
    EXPECT_TRUE(m.CellQueued.empty());
    CountingThread worker;
    QueueCellsAround(m, worker, 0, 0);
    EXPECT_EQ(m.CellQueue.Snapshot(), std::vector<TCellRef>{RefreshMarker});
}

TEST(CellQueue, TakingMarksTheCellsAndRemovalClearsTheirBytes)
{
    TCellQueue queue;
    std::vector<std::uint8_t> queued(4, 0);
    queue.AppendBatch(std::vector<TCellRef>{{1, 0}, {0, 1}}, std::span<std::uint8_t>(queued), 2);
    EXPECT_EQ(queued, (std::vector<std::uint8_t>{0, 1, 1, 0}));

    TCellRef run[4];
    std::uint64_t generation = 0;
    ASSERT_EQ(queue.TakeFront(run, queued, 2, generation), 2u) << "the cells before the marker";
    EXPECT_EQ(run[0], (TCellRef{1, 0}));
    EXPECT_EQ(run[1], (TCellRef{0, 1}));
    EXPECT_EQ(queued, (std::vector<std::uint8_t>{0, 3, 3, 0}));
    EXPECT_EQ(queue.Size(), 3u) << "taking leaves the entries in place";
    // Asked for again while taken, a cell waits once more behind.
    queue.AppendBatch(std::vector<TCellRef>{{0, 1}, {1, 1}}, std::span<std::uint8_t>(queued), 2);
    EXPECT_EQ(queued, (std::vector<std::uint8_t>{0, 3, 2, 1}));
    ASSERT_TRUE(queue.PopFront(generation, queued, 2));
    ASSERT_TRUE(queue.PopFront(generation, queued, 2));
    EXPECT_EQ(queued, (std::vector<std::uint8_t>{0, 0, 1, 1}));
    ASSERT_EQ(queue.TakeFront(run, queued, 2, generation), 1u);
    EXPECT_TRUE(run[0].IsRefreshMarker()) << "a marker is taken alone";
    EXPECT_EQ(queue.Snapshot(), (std::vector<TCellRef>{RefreshMarker, {0, 1}, {1, 1}, RefreshMarker}));

    queue.Clear(queued);
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_EQ(queued, (std::vector<std::uint8_t>(4, 0)));
    EXPECT_FALSE(queue.PopFront(generation, queued, 2)) << "a removal from before the emptying is void";
}

TEST(CellQueue, RingGrowsWithoutLosingOrder)
{
    TCellQueue queue;
    std::vector<std::uint8_t> queued(1000, 0);
    std::vector<TCellRef> expected;
    TCellRef front;
    std::uint64_t generation;
    for (int round = 0; round < 50; ++round) {
        std::vector<TCellRef> batch;
        for (int k = 0; k < 7; ++k) batch.push_back({round * 7 + k, 0});
        queue.AppendBatch(batch, std::span<std::uint8_t>(queued), 1000);
        expected.insert(expected.end(), batch.begin(), batch.end());
        expected.push_back(RefreshMarker);
        if (round % 3 == 0) { // take some from the front while it grows
            ASSERT_EQ(queue.TakeFront({&front, 1}, queued, 1000, generation), 1u);
            ASSERT_EQ(front, expected.front());
            ASSERT_TRUE(queue.PopFront(generation, queued, 1000));
            expected.erase(expected.begin());
        }
    }
    EXPECT_EQ(queue.Snapshot(), expected);
}

} // namespace
} // namespace plexor::test

namespace plexor::test {
namespace {

// What the worker does with the entries, one at a time: it looks at the
// front entry, deforms the cell, and only then removes it; at a marker it
// clears the splat marks. `during` runs while the first cell is being
// deformed, as the UI thread may.
void WorkOffTheQueue(DeformModel& m, const std::function<void()>& during)
{
    TCellRef entry;
    std::uint64_t generation = 0;
    bool first = true;
    while (m.CellQueue.TakeFront({&entry, 1}, m.CellQueued, m.CellCols(), generation) == 1) {
        if (entry.IsRefreshMarker()) {
            std::fill(m.SplatMask.data(), m.SplatMask.data() + m.SplatMask.size(), std::uint8_t{0});
        } else {
            DeformCell(m, entry);
            if (first) during();
            first = false;
        }
        m.CellQueue.PopFront(generation, m.CellQueued, m.CellCols());
    }
}

// A release queues the cells around its point while the worker deforms one
// of them with the displacement from before: that cell must be deformed
// again, or it shows the old displacement until some later edit.
TEST(CellQueue, ACellQueuedWhileItIsDeformedIsDeformedAgain)
{
    DeformModel m;
    LoadPicture(m, 48, 48);
    m.LayGrid(48); // one cell
    CountingThread worker;
    QueueCellsAround(m, worker, 0, 0);
    WorkOffTheQueue(m, [&] {
        m.Point(1, 1).DX = -20;
        QueueCellsAround(m, worker, 0, 0);
    });
    // Deformed last with the displacement that stands, the cell deformed
    // once more gives the same pixels.
    const std::vector<std::uint8_t> shown(m.WorkImage.data(), m.WorkImage.data() + m.WorkImage.size());
    std::fill(m.SplatMask.data(), m.SplatMask.data() + m.SplatMask.size(), std::uint8_t{0});
    DeformCell(m, {0, 0});
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), m.WorkImage.data())) << "the cell shows a stale displacement";
    EXPECT_EQ(m.CellQueued[0], 0);
}

} // namespace
} // namespace plexor::test

#include <algorithm>
#include <functional>
#include <span>
#include <vector>

#include <gtest/gtest.h>

#include "engine/cell_worker.h"
#include "engine/deform_cell.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

// A worker whose body ends at once; wake-ups only start it.
class CountingThread : public WorkerThread {
public:
    ~CountingThread() override
    {
        requestStop();
        waitUntilFinished();
    }

protected:
    void run() override {}
};

std::vector<CellRef> cells(int c0, int r0, int c1, int r1)
{
    std::vector<CellRef> cells;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) cells.push_back({c, r});
    return cells;
}

// A 480 x 480 picture with a grid at step 48: 10 x 10 cells.
class QueueCellsAroundTest : public ::testing::Test {
protected:
    QueueCellsAroundTest()
    {
        loadPicture(m_, 480, 480);
        m_.layGrid(48);
    }
    TestModel m_;
    CountingThread worker_;
};

TEST_F(QueueCellsAroundTest, CornerPointQueuesItsFourCellsThenAMarker)
{
    m_.queueCellsAround(worker_, 0, 0);
    std::vector<CellRef> expected = cells(0, 0, 1, 1);
    expected.push_back(kRefreshMarker);
    EXPECT_EQ(m_.work.queue().snapshot(), expected);
    const std::vector<std::uint8_t> queued = m_.work.queue().queuedBytes();
    EXPECT_EQ(queued[0], 1);
    EXPECT_EQ(queued[1], 1);
    EXPECT_EQ(queued[10], 1);
    EXPECT_EQ(queued[11], 1);
    EXPECT_EQ(queued[2], 0);
}

TEST_F(QueueCellsAroundTest, InteriorPointQueuesSixteenCellsInRowMajorOrder)
{
    m_.queueCellsAround(worker_, 5, 4);
    std::vector<CellRef> expected = cells(3, 2, 6, 5);
    expected.push_back(kRefreshMarker);
    EXPECT_EQ(m_.work.queue().snapshot(), expected);
    EXPECT_EQ(m_.work.queue().size(), 17u);

    // A second call before the worker took anything appends only a marker.
    m_.queueCellsAround(worker_, 5, 4);
    expected.push_back(kRefreshMarker);
    EXPECT_EQ(m_.work.queue().snapshot(), expected);

    // A neighbour shares cells with the first point: only the new ones come.
    m_.queueCellsAround(worker_, 6, 4);
    const std::vector<CellRef> after = m_.work.queue().snapshot();
    std::vector<CellRef> tail(after.begin() + 18, after.end());
    std::vector<CellRef> fresh = {{7, 2}, {7, 3}, {7, 4}, {7, 5}, kRefreshMarker};
    EXPECT_EQ(tail, fresh);
}

TEST(QueueCellsAround, GridWithoutCellsQueuesOnlyAMarker)
{
    TestModel m;
    m.layGrid(48); // no picture: one point, no cell
    EXPECT_TRUE(m.work.queue().queuedBytes().empty());
    CountingThread worker;
    m.queueCellsAround(worker, 0, 0);
    EXPECT_EQ(m.work.queue().snapshot(), std::vector<CellRef>{kRefreshMarker});
}

TEST(CellQueue, TakingMarksTheCellsAndRemovalClearsTheirBytes)
{
    CellQueue queue;
    queue.reset(2, 4);
    queue.appendBatch(std::vector<CellRef>{{1, 0}, {0, 1}});
    EXPECT_EQ(queue.queuedBytes(), (std::vector<std::uint8_t>{0, 1, 1, 0}));

    CellRef run[4];
    std::uint64_t generation = 0;
    ASSERT_EQ(queue.takeFront(run, generation), 2u) << "the cells before the marker";
    EXPECT_EQ(run[0], (CellRef{1, 0}));
    EXPECT_EQ(run[1], (CellRef{0, 1}));
    EXPECT_EQ(queue.queuedBytes(), (std::vector<std::uint8_t>{0, 3, 3, 0}));
    EXPECT_EQ(queue.size(), 3u) << "taking leaves the entries in place";
    // Asked for again while taken, a cell waits once more behind.
    queue.appendBatch(std::vector<CellRef>{{0, 1}, {1, 1}});
    EXPECT_EQ(queue.queuedBytes(), (std::vector<std::uint8_t>{0, 3, 2, 1}));
    ASSERT_TRUE(queue.popFront(generation));
    ASSERT_TRUE(queue.popFront(generation));
    EXPECT_EQ(queue.queuedBytes(), (std::vector<std::uint8_t>{0, 0, 1, 1}));
    ASSERT_EQ(queue.takeFront(run, generation), 1u);
    EXPECT_TRUE(run[0].isRefreshMarker()) << "a marker is taken alone";
    EXPECT_EQ(queue.snapshot(), (std::vector<CellRef>{kRefreshMarker, {0, 1}, {1, 1}, kRefreshMarker}));

    queue.clear();
    EXPECT_EQ(queue.size(), 0u);
    EXPECT_EQ(queue.queuedBytes(), (std::vector<std::uint8_t>(4, 0)));
    EXPECT_FALSE(queue.popFront(generation)) << "a removal from before the emptying is void";
}

TEST(CellQueue, RingGrowsWithoutLosingOrder)
{
    CellQueue queue;
    queue.reset(1000, 1000);
    std::vector<CellRef> expected;
    CellRef front;
    std::uint64_t generation;
    for (int round = 0; round < 50; ++round) {
        std::vector<CellRef> batch;
        for (int k = 0; k < 7; ++k) batch.push_back({round * 7 + k, 0});
        queue.appendBatch(batch);
        expected.insert(expected.end(), batch.begin(), batch.end());
        expected.push_back(kRefreshMarker);
        if (round % 3 == 0) { // take some from the front while it grows
            ASSERT_EQ(queue.takeFront({&front, 1}, generation), 1u);
            ASSERT_EQ(front, expected.front());
            ASSERT_TRUE(queue.popFront(generation));
            expected.erase(expected.begin());
        }
    }
    EXPECT_EQ(queue.snapshot(), expected);
}

} // namespace
} // namespace plexor::test

namespace plexor::test {
namespace {

// What the worker does with the entries, one at a time: it looks at the
// front entry, deforms the cell, and only then removes it; at a marker it
// clears the splat marks. `during` runs while the first cell is being
// deformed, as the UI thread may.
void workOffTheQueue(TestModel& m, const std::function<void()>& during)
{
    CellRef entry;
    std::uint64_t generation = 0;
    bool first = true;
    while (m.work.queue().takeFront({&entry, 1}, generation) == 1) {
        if (entry.isRefreshMarker()) {
            m.picture.clearAllMarks();
        } else {
            m.deform(entry);
            if (first) during();
            first = false;
        }
        m.work.queue().popFront(generation);
    }
}

// A release queues the cells around its point while the worker deforms one
// of them with the displacement from before: that cell must be deformed
// again, or it shows the old displacement until some later edit.
TEST(CellQueue, ACellQueuedWhileItIsDeformedIsDeformedAgain)
{
    TestModel m;
    loadPicture(m, 48, 48);
    m.layGrid(48); // one cell
    CountingThread worker;
    m.queueCellsAround(worker, 0, 0);
    workOffTheQueue(m, [&] {
        m.displace(1, 1, -20, 0);
        m.queueCellsAround(worker, 0, 0);
    });
    // Deformed last with the displacement that stands, the cell deformed
    // once more gives the same pixels.
    const ByteBuffer& work = m.picture.work().colours;
    const std::vector<std::uint8_t> shown(work.data(), work.data() + work.size());
    m.picture.clearAllMarks();
    m.deform({0, 0});
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), work.data())) << "the cell shows a stale displacement";
    EXPECT_EQ(m.work.queue().queuedBytes()[0], 0);
}

} // namespace
} // namespace plexor::test

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/cell_worker.h"
#include "tests/support/model_setup.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

using namespace std::chrono_literals;

// A model with a picture and a grid, a worker, and a stand-in for the UI
// thread's refresh: it counts, copies work into the view as the real refresh
// does, and checks the splat mask still holds the batch's marks.
class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loadPicture(model_, 240, 192);
        model_.layGrid(24);
        worker_ = std::make_unique<CellWorker>(model_.work, model_.grid, model_.picture, [this] { refresh(); });
        worker_->setCallWaitingHook([this] { callsWaiting_.fetch_add(1); });
    }
    void TearDown() override
    {
        if (worker_) worker_->stop();
    }

    void refresh()
    {
        ++refreshes_;
        copyView();
    }
    void copyView()
    {
        WorkerHold hold(model_.work.gate());
        const PixelRect whole{0, 0, model_.picture.width(), model_.picture.height()};
        model_.picture.showWork({&whole, 1});
    }

    bool serveUntil(const std::function<bool()>& done) { return test::serveUntil(*worker_, done); }

    bool allCellsIdle() const
    {
        const std::vector<std::uint8_t> queued = model_.work.queue().queuedBytes();
        return std::all_of(queued.begin(), queued.end(), [](std::uint8_t b) { return b == 0; });
    }
    bool maskClear() const
    {
        const ByteBuffer& marks = model_.picture.marks();
        return std::all_of(marks.data(), marks.data() + marks.size(), [](std::uint8_t b) { return b == 0; });
    }

    TestModel model_;
    std::unique_ptr<CellWorker> worker_;
    int refreshes_ = 0;
    std::atomic<int> callsWaiting_{0};
};

TEST_F(WorkerTest, EachCallIsOneBatchWithOneRefresh)
{
    model_.displace(4, 4, 10, 0);
    model_.queueCellsAround(*worker_, 4, 4);
    model_.queueCellsAround(*worker_, 4, 4);
    ASSERT_TRUE(serveUntilIdle(*worker_));
    EXPECT_EQ(refreshes_, 2);
    EXPECT_TRUE(allCellsIdle());
    EXPECT_TRUE(maskClear()) << "marks are cleared after each marker";
    // The deformation reached work, and the refresh saw it.
    EXPECT_FALSE(sameBytes(model_.picture.work(), model_.picture.source()));
    EXPECT_TRUE(sameBytes(model_.picture.work(), model_.picture.view()));
}

TEST_F(WorkerTest, MarksLastUntilTheirMarkerIsHandled)
{
    bool marksSeen = false;
    worker_->stop();
    worker_ = std::make_unique<CellWorker>(model_.work, model_.grid, model_.picture, [&] {
        ++refreshes_;
        marksSeen = marksSeen || !maskClear(); // the refresh comes before the clearing
    });
    model_.displace(4, 4, 0, -7);
    model_.queueCellsAround(*worker_, 4, 4);
    ASSERT_TRUE(serveUntil([&] { return refreshes_ == 1 && model_.work.queue().size() == 0; }));
    EXPECT_TRUE(marksSeen);
    EXPECT_TRUE(maskClear());
}

TEST_F(WorkerTest, StopWorksOffWaitingEntriesFirst)
{
    // The first batch's refresh is not served: the worker waits for it while
    // more batches arrive, then a stop is asked for.
    model_.queueCellsAround(*worker_, 2, 2);
    while (callsWaiting_.load() == 0) std::this_thread::sleep_for(1ms);
    model_.queueCellsAround(*worker_, 6, 5);
    model_.queueCellsAround(*worker_, 3, 6);
    worker_->stop(); // serves the refreshes while it waits
    EXPECT_EQ(refreshes_, 3);
    EXPECT_EQ(model_.work.queue().size(), 0u);
    EXPECT_TRUE(allCellsIdle());
    EXPECT_TRUE(worker_->finished());
}

TEST_F(WorkerTest, ShutDownWithARefreshPendingEndsCleanly)
{
    model_.queueCellsAround(*worker_, 5, 5);
    while (callsWaiting_.load() == 0) std::this_thread::sleep_for(1ms);
    // The order of shut-down: empty the queue, then stop and wait.
    {
        WorkerHold hold(model_.work.gate());
        model_.work.queue().clear();
    }
    worker_->stop();
    EXPECT_EQ(refreshes_, 1) << "the pending refresh still ran";
    EXPECT_TRUE(worker_->finished());
    worker_.reset();
}

TEST_F(WorkerTest, AHoldKeepsTheWorkerOffTheModel)
{
    std::optional<WorkerHold> hold;
    hold.emplace(model_.work.gate());
    model_.queueCellsAround(*worker_, 4, 4);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(model_.work.queue().size(), 17u) << "no entry handled while the UI thread holds the gate";
    hold.reset();
    ASSERT_TRUE(serveUntil([&] { return refreshes_ == 1 && model_.work.queue().size() == 0; }));
}

TEST_F(WorkerTest, RebuildingTheGridMidBatchIsSafe)
{
    for (int round = 0; round < 20; ++round) {
        model_.queueCellsAround(*worker_, 1 + round % 8, 1 + round % 6);
        WorkerHold hold(model_.work.gate());
        model_.layGrid(12 + round % 3 * 12);
    }
    const int expected = refreshes_;
    model_.queueCellsAround(*worker_, 2, 2);
    ASSERT_TRUE(serveUntil([&] { return refreshes_ > expected && model_.work.queue().size() == 0; }));
    EXPECT_TRUE(allCellsIdle());
}

TEST_F(WorkerTest, NoWakeUpIsLostUnderManyRandomCalls)
{
    // Thousands of calls at random moments: while the worker deforms, while
    // it waits for a refresh, while it sleeps. Each call's marker must be
    // reached without any further wake-up, or the wait below times out.
    std::mt19937 rng(11);
    int calls = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::int32_t c = std::uniform_int_distribution<std::int32_t>(0, model_.grid.shape().pointCols - 1)(rng);
        const std::int32_t r = std::uniform_int_distribution<std::int32_t>(0, model_.grid.shape().pointRows - 1)(rng);
        const std::int32_t dx = std::uniform_int_distribution<std::int32_t>(-10, 10)(rng);
        model_.displace(c, r, dx, std::uniform_int_distribution<std::int32_t>(-10, 10)(rng));
        model_.queueCellsAround(*worker_, c, r);
        ++calls;
        switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
        case 0: worker_->servePendingCall(); break;
        case 1: std::this_thread::sleep_for(std::chrono::microseconds(50)); break;
        case 2: copyView(); break; // a drag's refresh copying work meanwhile
        case 3: serveUntilIdle(*worker_); break;
        default: break;
        }
    }
    ASSERT_TRUE(serveUntilIdle(*worker_));
    EXPECT_EQ(refreshes_, calls);
    EXPECT_TRUE(allCellsIdle());
    EXPECT_TRUE(maskClear());
}

TEST_F(WorkerTest, ABatchClearsOnlyTheMarksItSet)
{
    // Marks far from the batch's cells, as a batch before it might have left
    // them: its end must leave them be, and clear its own.
    const std::int32_t w = model_.picture.width(), h = model_.picture.height();
    {
        WorkerHold hold(model_.work.gate());
        const SplatTarget target = model_.picture.splatTarget();
        target.mask[0] = 1;
        target.mask[static_cast<std::size_t>(w) * h - 1] = 1;
    }
    model_.displace(4, 4, 10, -10);
    model_.queueCellsAround(*worker_, 4, 4);
    ASSERT_TRUE(serveUntil([&] { return refreshes_ == 1 && model_.work.queue().size() == 0; }));
    const ByteBuffer& marks = model_.picture.marks();
    EXPECT_EQ(marks[0], 1);
    EXPECT_EQ(marks[static_cast<std::size_t>(w) * h - 1], 1);
    EXPECT_EQ(std::count(marks.data(), marks.data() + marks.size(), std::uint8_t{1}), 2)
        << "the batch left marks of its own";
}

// Batch after batch, the worker gives a deep picture's high bytes the 8-bit
// result and its low bytes what a picture of them becomes: the low bytes'
// marks clear with the others at each batch's end.
TEST(Worker, ADeepPicturesLowBytesGoWhereTheirHighBytesGo)
{
    const auto low = [](std::int32_t x, std::int32_t y) {
        return Rgb{static_cast<std::uint8_t>(x * 3 + y), static_cast<std::uint8_t>(y * 5),
                   static_cast<std::uint8_t>(x ^ (y * 7))};
    };
    const auto drag = [](TestModel& m) {
        m.layGrid(24);
        int refreshes = 0;
        CellWorker worker(m.work, m.grid, m.picture, [&] { ++refreshes; });
        for (const auto& [c, r, dx, dy] : {std::array{4, 4, 10, -10}, {5, 4, -9, 7}, {4, 5, 3, 12}}) {
            m.displace(c, r, dx, dy);
            m.queueCellsAround(worker, c, r);
            ASSERT_TRUE(serveUntil(worker, [&] { return m.work.queue().size() == 0; }));
        }
        worker.stop();
        EXPECT_EQ(refreshes, 3);
    };
    TestModel deep, high, lows;
    loadPicture(deep.picture, 240, 192, pattern, {}, low);
    loadPicture(high.picture, 240, 192);
    loadPicture(lows.picture, 240, 192, low);
    for (TestModel* m : {&deep, &high, &lows}) drag(*m);
    EXPECT_TRUE(sameBytes(deep.picture.work().colours, high.picture.work().colours));
    EXPECT_TRUE(sameBytes(deep.picture.work().low, lows.picture.work().colours));
}

TEST(Worker, StopBeforeAnyWakeUpEnds)
{
    TestModel model;
    int refreshes = 0;
    CellWorker worker(model.work, model.grid, model.picture, [&] { ++refreshes; });
    worker.stop();
    EXPECT_EQ(refreshes, 0);
}

} // namespace
} // namespace plexor::test

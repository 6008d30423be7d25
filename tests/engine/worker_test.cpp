#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/deform_model.h"
#include "engine/my_thread.h"
#include "tests/support/model_setup.h"
#include "tests/support/worker_service.h"

namespace plexor::test {
namespace {

using namespace std::chrono_literals;

// A model with a picture and a grid, a worker, and a stand-in for the UI
// thread's refresh: it counts, copies WorkImage as the real refresh does, and
// checks the splat mask still holds the batch's marks.
class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadPicture(model, 240, 192);
        model.LayGrid(24);
        worker = std::make_unique<TMyThread>(model, [this] { Refresh(); });
        worker->SetCallWaitingHook([this] { callsWaiting.fetch_add(1); });
    }
    void TearDown() override
    {
        if (worker) worker->Stop();
    }

    void Refresh()
    {
        ++refreshes;
        CopyView();
    }
    void CopyView()
    {
        WorkerHold hold(model.Gate);
        model.CopyPixels(model.WorkImage, model.ViewImage);
    }

    bool ServeUntil(const std::function<bool()>& done) { return test::ServeUntil(*worker, done); }

    bool AllCellsIdle() const
    {
        return std::all_of(model.CellQueued.begin(), model.CellQueued.end(), [](std::uint8_t b) { return b == 0; });
    }
    bool MaskClear() const
    {
        return std::all_of(model.SplatMask.data(), model.SplatMask.data() + model.SplatMask.size(),
                           [](std::uint8_t b) { return b == 0; });
    }

    DeformModel model;
    std::unique_ptr<TMyThread> worker;
    int refreshes = 0;
    std::atomic<int> callsWaiting{0};
};

TEST_F(WorkerTest, EachCallIsOneBatchWithOneRefresh)
{
    model.Point(4, 4).DX = 10;
    QueueCellsAround(model, *worker, 4, 4);
    QueueCellsAround(model, *worker, 4, 4);
    ASSERT_TRUE(ServeUntilIdle(*worker));
    EXPECT_EQ(refreshes, 2);
    EXPECT_TRUE(AllCellsIdle());
    EXPECT_TRUE(MaskClear()) << "marks are cleared after each marker";
    // The deformation reached WorkImage, and the refresh saw it.
    EXPECT_NE(0, std::memcmp(model.WorkImage.data(), model.SourceImage.data(), model.WorkImage.size()));
    EXPECT_EQ(0, std::memcmp(model.WorkImage.data(), model.ViewImage.data(), model.WorkImage.size()));
}

TEST_F(WorkerTest, MarksLastUntilTheirMarkerIsHandled)
{
    bool marksSeen = false;
    worker->Stop();
    worker = std::make_unique<TMyThread>(model, [&] {
        ++refreshes;
        marksSeen = marksSeen || !MaskClear(); // the refresh comes before the clearing
    });
    model.Point(4, 4).DY = -7;
    QueueCellsAround(model, *worker, 4, 4);
    ASSERT_TRUE(ServeUntil([&] { return refreshes == 1 && model.CellQueue.Size() == 0; }));
    EXPECT_TRUE(marksSeen);
    EXPECT_TRUE(MaskClear());
}

TEST_F(WorkerTest, StopWorksOffWaitingEntriesFirst)
{
    // The first batch's refresh is not served: the worker waits for it while
    // more batches arrive, then a stop is asked for.
    QueueCellsAround(model, *worker, 2, 2);
    while (callsWaiting.load() == 0) std::this_thread::sleep_for(1ms);
    QueueCellsAround(model, *worker, 6, 5);
    QueueCellsAround(model, *worker, 3, 6);
    worker->Stop(); // serves the refreshes while it waits
    EXPECT_EQ(refreshes, 3);
    EXPECT_EQ(model.CellQueue.Size(), 0u);
    EXPECT_TRUE(AllCellsIdle());
    EXPECT_TRUE(worker->Finished());
}

TEST_F(WorkerTest, ShutDownWithARefreshPendingEndsCleanly)
{
    QueueCellsAround(model, *worker, 5, 5);
    while (callsWaiting.load() == 0) std::this_thread::sleep_for(1ms);
    // The order of shut-down: empty the queue, then stop and wait.
    {
        WorkerHold hold(model.Gate);
        model.CellQueue.Clear(model.CellQueued);
    }
    worker->Stop();
    EXPECT_EQ(refreshes, 1) << "the pending refresh still ran";
    EXPECT_TRUE(worker->Finished());
    worker.reset();
}

TEST_F(WorkerTest, AHoldKeepsTheWorkerOffTheModel)
{
    std::optional<WorkerHold> hold;
    hold.emplace(model.Gate);
    QueueCellsAround(model, *worker, 4, 4);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(model.CellQueue.Size(), 17u) << "no entry handled while the UI thread holds the gate";
    hold.reset();
    ASSERT_TRUE(ServeUntil([&] { return refreshes == 1 && model.CellQueue.Size() == 0; }));
}

TEST_F(WorkerTest, RebuildingTheGridMidBatchIsSafe)
{
    for (int round = 0; round < 20; ++round) {
        QueueCellsAround(model, *worker, 1 + round % 8, 1 + round % 6);
        model.LayGrid(12 + round % 3 * 12);
    }
    const int expected = refreshes;
    QueueCellsAround(model, *worker, 2, 2);
    ASSERT_TRUE(ServeUntil([&] { return refreshes > expected && model.CellQueue.Size() == 0; }));
    EXPECT_TRUE(AllCellsIdle());
}

TEST_F(WorkerTest, NoWakeUpIsLostUnderManyRandomCalls)
{
    // Thousands of calls at random moments: while the worker deforms, while
    // it waits for a refresh, while it sleeps. Each call's marker must be
    // reached without any further wake-up, or the wait below times out.
    std::mt19937 rng(11);
    int calls = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::int32_t c = std::uniform_int_distribution<std::int32_t>(0, model.PointCols() - 1)(rng);
        const std::int32_t r = std::uniform_int_distribution<std::int32_t>(0, model.PointRows() - 1)(rng);
        TControlPoint& p = model.Point(c, r);
        p.DX = std::uniform_int_distribution<std::int32_t>(-10, 10)(rng);
        p.DY = std::uniform_int_distribution<std::int32_t>(-10, 10)(rng);
        QueueCellsAround(model, *worker, c, r);
        ++calls;
        switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
        case 0: worker->ServePendingCall(); break;
        case 1: std::this_thread::sleep_for(std::chrono::microseconds(50)); break;
        case 2: CopyView(); break; // a drag's refresh copying WorkImage meanwhile
        case 3: ServeUntilIdle(*worker); break;
        default: break;
        }
    }
    ASSERT_TRUE(ServeUntilIdle(*worker));
    EXPECT_EQ(refreshes, calls);
    EXPECT_TRUE(AllCellsIdle());
    EXPECT_TRUE(MaskClear());
}

TEST(Worker, StopBeforeAnyWakeUpEnds)
{
    DeformModel model;
    int refreshes = 0;
    TMyThread worker(model, [&] { ++refreshes; });
    worker.Stop();
    EXPECT_EQ(refreshes, 0);
}

} // namespace
} // namespace plexor::test

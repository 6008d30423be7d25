#include "app/worker_control.h"

#include "engine/grid_file.h"

namespace plexor {

WorkerControl::~WorkerControl()
{
    stop();
}

void WorkerControl::start(std::function<void()> refresh, std::function<void()> showFrame,
                          std::function<void()> callWaiting)
{
    if (worker_) return;
    worker_ = std::make_unique<CellWorker>(work_, grid_, picture_, std::move(refresh), std::move(showFrame));
    worker_->setCallWaitingHook(std::move(callWaiting));
}

void WorkerControl::stop()
{
    if (!worker_) return;
    {
        WorkerHold hold(work_.gate());
        work_.queue().clear();
    }
    worker_->stop(); // still runs the refreshes the worker asks for meanwhile
    worker_.reset();
}

void WorkerControl::queueCellsAround(std::int32_t c, std::int32_t r)
{
    if (!worker_) return;
    CellRef cells[16];
    const std::size_t count = cellsAround(grid_.shape(), c, r, cells);
    work_.queue().appendBatch(std::span<const CellRef>(cells, count));
    worker_->wake();
}

void WorkerControl::queueBatch(std::span<const CellRef> cells)
{
    if (!worker_ || cells.empty()) return;
    work_.queue().appendBatch(cells);
    worker_->wake();
}

void WorkerControl::queueDisplacedCells()
{
    if (!worker_) return;
    const std::vector<CellRef> cells = displacedCells(grid_);
    queueBatch(cells);
}

void WorkerControl::wake()
{
    if (worker_) worker_->wake();
}

void WorkerControl::waitUntilIdle()
{
    if (!worker_) return;
    while (!worker_->idle()) worker_->serveNextCall(std::chrono::milliseconds(5));
}

void WorkerControl::serveCalls()
{
    if (worker_) worker_->servePendingCall();
}

std::optional<std::string> WorkerControl::progressText(std::chrono::steady_clock::time_point now)
{
    constexpr auto kLate = std::chrono::milliseconds(500);
    const std::optional<std::chrono::steady_clock::time_point> frameLate = work_.preview().lateSince();
    if (frameLate && now - *frameLate >= kLate) {
        const std::size_t cells = work_.queue().cellsWaiting() + work_.preview().cellsWanted();
        return std::to_string(cells) + (cells == 1 ? " cell left" : " cells left");
    }
    if (!worker_ || worker_->idle() || work_.queue().size() == 0) {
        busySince_.reset();
        return std::nullopt;
    }
    if (!busySince_) busySince_ = now;
    if (now - *busySince_ < kLate) return std::nullopt;
    const std::size_t cells = work_.queue().cellsWaiting();
    return std::to_string(cells) + (cells == 1 ? " cell left" : " cells left");
}

} // namespace plexor

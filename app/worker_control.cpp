#include "app/worker_control.h"

#include "engine/grid_file.h"

namespace plexor {

WorkerControl::~WorkerControl()
{
    stop();
}

void WorkerControl::start(std::function<void()> refresh, std::function<void()> callWaiting)
{
    if (worker_) return;
    worker_ = std::make_unique<CellWorker>(model_, std::move(refresh));
    worker_->setCallWaitingHook(std::move(callWaiting));
}

void WorkerControl::stop()
{
    if (!worker_) return;
    {
        WorkerHold hold(model_.gate());
        model_.cellQueue().clear();
    }
    worker_->stop(); // still runs the refreshes the worker asks for meanwhile
    worker_.reset();
}

void WorkerControl::queueCellsAround(std::int32_t c, std::int32_t r)
{
    if (worker_) plexor::queueCellsAround(model_, *worker_, c, r);
}

void WorkerControl::queueBatch(std::span<const CellRef> cells)
{
    if (!worker_ || cells.empty()) return;
    model_.cellQueue().appendBatch(cells);
    worker_->wake();
}

void WorkerControl::queueDisplacedCells()
{
    if (!worker_) return;
    const std::vector<CellRef> cells = displacedCells(model_);
    queueBatch(cells);
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
    if (!worker_ || worker_->idle()) {
        busySince_.reset();
        return std::nullopt;
    }
    if (!busySince_) busySince_ = now;
    if (now - *busySince_ < std::chrono::milliseconds(500)) return std::nullopt;
    const std::size_t cells = model_.cellQueue().cellsWaiting();
    return std::to_string(cells) + (cells == 1 ? " cell left" : " cells left");
}

} // namespace plexor

#include "tests/support/worker_service.h"

namespace plexor::test {

bool serveUntil(WorkerThread& worker, const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        worker.serveNextCall(std::chrono::milliseconds(5));
    }
    return true;
}

bool serveUntilIdle(WorkerThread& worker, std::chrono::milliseconds limit)
{
    return serveUntil(
        worker, [&worker] { return worker.idle(); }, limit);
}

} // namespace plexor::test

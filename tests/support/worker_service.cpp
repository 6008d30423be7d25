#include "tests/support/worker_service.h"

namespace plexor::test {

bool ServeUntil(TThread& worker, const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        worker.ServeNextCall(std::chrono::milliseconds(5));
    }
    return true;
}

bool ServeUntilIdle(TThread& worker, std::chrono::milliseconds limit)
{
    return ServeUntil(
        worker, [&worker] { return worker.Idle(); }, limit);
}

} // namespace plexor::test

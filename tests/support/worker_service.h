#pragma once

#include <chrono>
#include <functional>

#include "platform/worker_thread.h"

namespace plexor::test {

// Plays the UI thread's event loop for `worker`, running the calls it waits
// on, until `done` holds; false when `limit` passes first.
bool serveUntil(WorkerThread& worker, const std::function<bool()>& done,
                std::chrono::milliseconds limit = std::chrono::seconds(60));

// The same until the worker sleeps with nothing left to do.
bool serveUntilIdle(WorkerThread& worker, std::chrono::milliseconds limit = std::chrono::seconds(60));

} // namespace plexor::test

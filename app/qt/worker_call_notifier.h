#pragma once

#include <functional>

#include <QObject>

class QSocketNotifier;

namespace plexor {

// Wakes the UI thread's event loop when the worker waits for it to run a
// call. The worker touches nothing of Qt's: it writes to an event file
// descriptor that the UI thread watches, and the call itself passes between
// the threads under the worker thread's own mutex. So every hand-over is
// ordered by primitives that the thread sanitizer sees, which a queued Qt
// event, allocated on one thread and read on the other, is not.
class WorkerCallNotifier final : public QObject {
    Q_OBJECT
public:
    // `serve` runs on the UI thread after each wake-up.
    WorkerCallNotifier(std::function<void()> serve, QObject* parent = nullptr);
    ~WorkerCallNotifier() override;

    // Any thread: wakes the UI thread. Allocates nothing and never blocks.
    void notify() noexcept;

private:
    void drain();

    std::function<void()> serve_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace plexor

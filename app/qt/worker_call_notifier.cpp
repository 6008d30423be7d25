#include "app/qt/worker_call_notifier.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

#include <QSocketNotifier>

namespace plexor {

WorkerCallNotifier::WorkerCallNotifier(std::function<void()> serve, QObject* parent)
    : QObject(parent), serve_(std::move(serve)), fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WorkerCallNotifier::drain);
}

WorkerCallNotifier::~WorkerCallNotifier()
{
    notifier_->setEnabled(false);
    ::close(fd_);
}

void WorkerCallNotifier::notify() noexcept
{
    const std::uint64_t one = 1;
    // The counter only saturates after 2^64 - 2 wake-ups no one has read; a
    // write that fails then is a wake-up already pending.
    while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {}
}

void WorkerCallNotifier::drain()
{
    std::uint64_t count = 0;
    while (::read(fd_, &count, sizeof count) < 0 && errno == EINTR) {}
    serve_();
}

} // namespace plexor

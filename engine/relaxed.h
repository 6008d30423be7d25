#pragma once

#include <atomic>

namespace plexor {

// A value that one thread may write while another reads it, where no
// ordering between the two is wanted: each read sees a whole value, older or
// newer. Control-point coordinates are shared this way between a drag on the
// UI thread and the worker deforming a cell.
template <class T>
class Relaxed {
public:
    Relaxed() noexcept = default;
    Relaxed(T value) noexcept : value_(value) {}
    Relaxed(const Relaxed& other) noexcept : value_(other.load()) {}
    Relaxed& operator=(const Relaxed& other) noexcept
    {
        store(other.load());
        return *this;
    }
    Relaxed& operator=(T value) noexcept
    {
        store(value);
        return *this;
    }
    operator T() const noexcept { return load(); }

    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }

private:
    std::atomic<T> value_{};
};

} // namespace plexor

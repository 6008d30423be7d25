#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "engine/system_memory.h"

namespace plexor {

// How many bytes the program can still obtain: the system's, unless set
// otherwise. A grant of the system may still get the process killed when
// its pages are touched, so commands ask before they obtain large buffers.
class MemoryGauge {
public:
    MemoryGauge() = default;
    explicit MemoryGauge(std::function<std::uint64_t()> available) : available_(std::move(available)) {}

    std::uint64_t available() const { return available_(); }
    void setSource(std::function<std::uint64_t()> available) { available_ = std::move(available); }

private:
    std::function<std::uint64_t()> available_ = systemAvailableMemory;
};

} // namespace plexor

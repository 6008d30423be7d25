#pragma once

#include <cstdint>

namespace plexor {

// Bytes the system can still give this process: the smaller of the memory
// available on the machine and what the process's memory limit leaves.
std::uint64_t systemAvailableMemory();

} // namespace plexor

#include "engine/system_memory.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace plexor {
namespace {

constexpr std::uint64_t kUnknown = std::numeric_limits<std::uint64_t>::max();

std::uint64_t memAvailableFromMeminfo()
{
    std::ifstream in("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    std::string unit;
    while (in >> key >> kib) {
        std::getline(in, unit);
        if (key == "MemAvailable:") return kib * 1024;
    }
    return kUnknown;
}

std::uint64_t readNumber(const char* path)
{
    std::ifstream in(path);
    std::string text;
    if (!(in >> text) || text == "max") return kUnknown;
    try {
        return std::stoull(text);
    } catch (...) {
        return kUnknown;
    }
}

std::uint64_t cgroupRoom()
{
    const std::uint64_t limit = readNumber("/sys/fs/cgroup/memory.max");
    const std::uint64_t used = readNumber("/sys/fs/cgroup/memory.current");
    if (limit == kUnknown || used == kUnknown) return kUnknown;
    return limit > used ? limit - used : 0;
}

} // namespace

std::uint64_t systemAvailableMemory()
{
    return std::min(memAvailableFromMeminfo(), cgroupRoom());
}

} // namespace plexor

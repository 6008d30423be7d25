#include "platform/nearest_colour.h"

#include <algorithm>

namespace plexor {

std::uint8_t nearestTableIndex(std::span<const Colour> table, std::uint8_t red, std::uint8_t green,
                               std::uint8_t blue) noexcept
{
    std::uint32_t best = 0;
    std::uint32_t bestDistance = UINT32_MAX;
    const std::size_t count = std::min<std::size_t>(table.size(), 256);
    for (std::size_t i = 0; i < count; ++i) {
        const int dr = int{table[i].red} - red;
        const int dg = int{table[i].green} - green;
        const int db = int{table[i].blue} - blue;
        const auto distance = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<std::uint32_t>(i);
            if (distance == 0) break;
        }
    }
    return static_cast<std::uint8_t>(best);
}

NearestColourCache::NearestColourCache(std::span<const Colour> table)
    : table_(table.begin(), table.end()), slots_(std::make_unique<Slot[]>(std::size_t{1} << kSlotBits))
{}

bool NearestColourCache::serves(std::span<const Colour> table) const noexcept
{
    return std::equal(table.begin(), table.end(), table_.begin(), table_.end());
}

} // namespace plexor

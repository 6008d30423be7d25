#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/pixel_format.h"

namespace plexor {

// The index of the table colour closest to (red, green, blue): least squared
// distance in RGB, the lowest index on a tie; 0 for an empty table.
std::uint8_t nearestTableIndex(std::span<const Colour> table, std::uint8_t red, std::uint8_t green,
                               std::uint8_t blue) noexcept;

// Remembers the table index found for each colour recently asked for, so that
// matching a picture of few distinct colours costs one lookup a pixel. The
// memory is obtained once, on construction; matching never allocates.
class NearestColourCache {
public:
    explicit NearestColourCache(std::span<const Colour> table);

    // `bgr` is blue | green << 8 | red << 16.
    std::uint8_t match(std::uint32_t bgr) noexcept
    {
        const std::uint32_t key = bgr | kValid;
        Slot& slot = slots_[(bgr * 0x9E3779B1u) >> (32 - kSlotBits)];
        if (slot.key != key) {
            slot.key = key;
            slot.index = nearestTableIndex(table_, static_cast<std::uint8_t>(bgr >> 16),
                                           static_cast<std::uint8_t>(bgr >> 8), static_cast<std::uint8_t>(bgr));
        }
        return slot.index;
    }

    bool serves(std::span<const Colour> table) const noexcept;

private:
    static constexpr int kSlotBits = 14;
    // Set in every filled slot's key, so an empty slot matches no colour.
    static constexpr std::uint32_t kValid = 0x01000000;

    struct Slot {
        std::uint32_t key = 0;
        std::uint8_t index = 0;
    };

    std::vector<Colour> table_;
    std::unique_ptr<Slot[]> slots_;
};

} // namespace plexor

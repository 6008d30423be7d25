#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/pixel_format.h"

namespace plexor::test {

// Builds bitmap files field by field, so a test can make any field lie.
struct CraftedBmp {
    std::uint16_t type = 0x4D42;
    std::optional<std::uint32_t> pixelOffset; // default: right after the table
    std::uint32_t headerSize = 40;
    std::int32_t width = 4;
    std::int32_t height = 2;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    // Written inside a header of 52 bytes or more.
    std::uint32_t headerMasks[4] = {0, 0, 0, 0};
    // Words written right after the header.
    std::vector<std::uint32_t> masksAfterHeader;
    std::vector<Colour> table;
    std::vector<std::uint8_t> pixelData;

    std::vector<std::uint8_t> build() const;
};

// Pixel rows of `height` rows of `rowBytes` bytes each, all `value`.
std::vector<std::uint8_t> filledRows(std::size_t rowBytes, std::int32_t height, std::uint8_t value);

} // namespace plexor::test

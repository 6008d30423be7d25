#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/pixel_format.h"

namespace plexor::test {

// Builds bitmap files field by field, so a test can make any field lie.
struct CraftedBmp {
    std::uint16_t Type = 0x4D42;
    std::optional<std::uint32_t> PixelOffset; // default: right after the table
    std::uint32_t HeaderSize = 40;
    std::int32_t Width = 4;
    std::int32_t Height = 2;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = 0;
    std::uint32_t ClrUsed = 0;
    // Written inside a header of 52 bytes or more.
    std::uint32_t HeaderMasks[4] = {0, 0, 0, 0};
    // Words written right after the header.
    std::vector<std::uint32_t> MasksAfterHeader;
    std::vector<RgbQuad> Table;
    std::vector<std::uint8_t> PixelData;

    std::vector<std::uint8_t> Build() const;
};

// Pixel rows of `height` rows of `rowBytes` bytes each, all `value`.
std::vector<std::uint8_t> FilledRows(std::size_t rowBytes, std::int32_t height, std::uint8_t value);

} // namespace plexor::test

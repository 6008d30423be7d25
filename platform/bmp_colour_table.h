#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/pixel_format.h"

namespace plexor {

// Bytes of one table entry: blue, green, red and, except after the core
// header, a reserved byte.
constexpr std::size_t bmpTableEntryBytes(bool coreHeader) noexcept
{
    return coreHeader ? 3 : 4;
}

// Reads `count` entries from byte `offset` of `file`. Throws PictureError
// "Stream read error" when the file ends inside the table.
std::vector<Colour> readBmpColourTable(std::span<const std::uint8_t> file, std::size_t offset, std::size_t count,
                                       bool coreHeader);

// Writes the table; returns the bytes written.
std::size_t writeBmpColourTable(std::span<const Colour> table, bool coreHeader, std::uint8_t* out) noexcept;

} // namespace plexor

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plexor::test {

// An item of a crafted HEIF file: its type ("grid", "iovl", "hvc1"...) and
// the bytes it holds, kept in the meta box's own data or else after the
// boxes, in the file.
struct CraftedHeifItem {
    std::string type;
    std::vector<std::uint8_t> bytes;
    bool inMetaData = false;
};

// A file of the boxes that locate HEIF items: a file type box of the HEIC
// brands, and a meta box naming the items 1, 2... of `items` in that order,
// with their locations in an iloc box of `locationVersion` (0 to 2; 0 has
// no meta-box data), then the items' bytes kept in the file. No picture in
// it can be decoded.
std::vector<std::uint8_t> craftedHeif(const std::vector<CraftedHeifItem>& items, int locationVersion);

// A grid's and an overlay's description of their output size, in 16-bit
// fields or, `wide`, in 32-bit ones.
std::vector<std::uint8_t> gridDescription(std::uint32_t width, std::uint32_t height, bool wide);
std::vector<std::uint8_t> overlayDescription(std::uint32_t width, std::uint32_t height, bool wide);

} // namespace plexor::test

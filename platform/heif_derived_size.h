#pragma once

#include <cstdint>
#include <span>

namespace plexor {

struct DeclaredSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Of the pictures a HEIC or AVIF file derives from others (grids of tiles
// and overlays), the size of the one that declares the most pixels, as its
// own description of it says. The decoder makes a derived picture of that
// size whatever the rest of the file says the picture is, so a file of a
// few hundred bytes can ask for gigabytes: this is looked at before it
// decodes. Follows the file's boxes as far as they can be followed, reads
// nothing outside `file`, in time in proportion to its size; 0 x 0 when it
// finds no derived picture whose description it can read.
DeclaredSize largestHeifDerivedSize(std::span<const std::uint8_t> file) noexcept;

} // namespace plexor

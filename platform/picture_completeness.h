#pragma once

#include <cstdint>
#include <span>

namespace plexor {

// Whether a file's bytes run on to the end of its picture. The JPEG and GIF
// decoders draw a file cut short as if the missing part were blank, so a cut
// is found by walking the file's structure instead: a JPEG file must reach
// its end-of-image marker, a GIF file the end of its first frame's data.
// Neither check decodes anything or judges the data it passes over.
bool jpegReachesItsEnd(std::span<const std::uint8_t> file) noexcept;
bool gifReachesTheEndOfItsFirstFrame(std::span<const std::uint8_t> file) noexcept;

} // namespace plexor

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace plexor {

// The 14 bytes that open every bitmap file.
struct BmpFileHeader {
    static constexpr std::size_t kSize = 14;
    // "BM" read as a little-endian word.
    static constexpr std::uint16_t kType = 0x4D42;

    std::uint16_t type = kType;
    std::uint32_t fileSize = 0;
    std::uint16_t reserved1 = 0;
    std::uint16_t reserved2 = 0;
    // Where the pixel rows begin, from the start of the file.
    std::uint32_t pixelOffset = 0;

    // Throws PictureError: "Stream read error" when `file` ends inside the
    // header, "Bitmap image is not valid" when it does not begin "BM". The
    // size and offset fields are returned as written, not trusted.
    static BmpFileHeader read(std::span<const std::uint8_t> file);

    // Writes kSize bytes.
    void write(std::uint8_t* out) const noexcept;
};

} // namespace plexor

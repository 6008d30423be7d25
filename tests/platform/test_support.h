#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/pixel_format.h"

namespace plexor::test {

// The folder of shared sample pictures, or nothing when it is absent.
std::optional<std::filesystem::path> SharedFolder(const std::string& sub);

// Every .bmp file of a folder, sorted by name.
std::vector<std::filesystem::path> BmpFilesIn(const std::filesystem::path& folder);

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A picture as 24-bit rows from the top, 3 bytes a pixel, no padding.
struct Rgb {
    std::uint8_t Red = 0, Green = 0, Blue = 0;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

struct Pixels {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint8_t> Bgr;

    Rgb At(std::int32_t x, std::int32_t y) const;
    bool operator==(const Pixels&) const = default;
};

// The bitmap's pixels as 24 bits, read with GetDIBits; fails the test when the
// transfer does.
Pixels ToPixels(const TBitmap& bitmap);

// A folder of its own under the system's temporary folder, removed with all
// it holds when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Names of everything in the folder.
    std::vector<std::string> Entries() const;

private:
    std::filesystem::path path_;
};

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

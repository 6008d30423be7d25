#include "tests/support/crafted_bmp.h"

#include <algorithm>

#include "platform/little_endian.h"

namespace plexor::test {

std::vector<std::uint8_t> CraftedBmp::Build() const
{
    std::vector<std::uint8_t> header;
    AppendU32(header, HeaderSize);
    if (HeaderSize == 12) {
        AppendU16(header, static_cast<std::uint16_t>(Width));
        AppendU16(header, static_cast<std::uint16_t>(Height));
        AppendU16(header, Planes);
        AppendU16(header, BitCount);
    } else {
        AppendU32(header, static_cast<std::uint32_t>(Width));
        AppendU32(header, static_cast<std::uint32_t>(Height));
        AppendU16(header, Planes);
        AppendU16(header, BitCount);
        AppendU32(header, Compression);
        AppendU32(header, 0);
        AppendU32(header, 2835);
        AppendU32(header, 2835);
        AppendU32(header, ClrUsed);
        AppendU32(header, 0);
        for (std::uint32_t mask : HeaderMasks)
            if (header.size() + 4 <= HeaderSize) AppendU32(header, mask);
        header.resize(std::max<std::size_t>(header.size(), HeaderSize), 0);
    }
    for (std::uint32_t mask : MasksAfterHeader) AppendU32(header, mask);
    for (const RgbQuad& quad : Table) {
        header.push_back(quad.Blue);
        header.push_back(quad.Green);
        header.push_back(quad.Red);
        if (HeaderSize != 12) header.push_back(quad.Reserved);
    }
    const std::uint32_t offset = PixelOffset.value_or(static_cast<std::uint32_t>(14 + header.size()));
    std::vector<std::uint8_t> file;
    AppendU16(file, Type);
    AppendU32(file, static_cast<std::uint32_t>(14 + header.size() + PixelData.size()));
    AppendU32(file, 0);
    AppendU32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), PixelData.begin(), PixelData.end());
    return file;
}

std::vector<std::uint8_t> FilledRows(std::size_t rowBytes, std::int32_t height, std::uint8_t value)
{
    return std::vector<std::uint8_t>(rowBytes * static_cast<std::size_t>(height), value);
}

} // namespace plexor::test

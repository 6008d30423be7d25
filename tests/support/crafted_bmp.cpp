#include "tests/support/crafted_bmp.h"

#include <algorithm>

namespace plexor::test {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

std::vector<std::uint8_t> CraftedBmp::Build() const
{
    std::vector<std::uint8_t> header;
    Put32(header, HeaderSize);
    if (HeaderSize == 12) {
        Put16(header, static_cast<std::uint32_t>(Width));
        Put16(header, static_cast<std::uint32_t>(Height));
        Put16(header, Planes);
        Put16(header, BitCount);
    } else {
        Put32(header, static_cast<std::uint32_t>(Width));
        Put32(header, static_cast<std::uint32_t>(Height));
        Put16(header, Planes);
        Put16(header, BitCount);
        Put32(header, Compression);
        Put32(header, 0);
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, ClrUsed);
        Put32(header, 0);
        for (std::uint32_t mask : HeaderMasks)
            if (header.size() + 4 <= HeaderSize) Put32(header, mask);
        header.resize(std::max<std::size_t>(header.size(), HeaderSize), 0);
    }
    for (std::uint32_t mask : MasksAfterHeader) Put32(header, mask);
    for (const RgbQuad& quad : Table) {
        header.push_back(quad.Blue);
        header.push_back(quad.Green);
        header.push_back(quad.Red);
        if (HeaderSize != 12) header.push_back(quad.Reserved);
    }
    const std::uint32_t offset = PixelOffset.value_or(static_cast<std::uint32_t>(14 + header.size()));
    std::vector<std::uint8_t> file;
    Put16(file, Type);
    Put32(file, static_cast<std::uint32_t>(14 + header.size() + PixelData.size()));
    Put32(file, 0);
    Put32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), PixelData.begin(), PixelData.end());
    return file;
}

std::vector<std::uint8_t> FilledRows(std::size_t rowBytes, std::int32_t height, std::uint8_t value)
{
    return std::vector<std::uint8_t>(rowBytes * static_cast<std::size_t>(height), value);
}

} // namespace plexor::test

#include "tests/support/crafted_bmp.h"

#include <algorithm>

#include "platform/little_endian.h"

namespace plexor::test {

std::vector<std::uint8_t> CraftedBmp::build() const
{
    std::vector<std::uint8_t> header;
    appendU32(header, headerSize);
    if (headerSize == 12) {
        appendU16(header, static_cast<std::uint16_t>(width));
        appendU16(header, static_cast<std::uint16_t>(height));
        appendU16(header, planes);
        appendU16(header, bitCount);
    } else {
        appendU32(header, static_cast<std::uint32_t>(width));
        appendU32(header, static_cast<std::uint32_t>(height));
        appendU16(header, planes);
        appendU16(header, bitCount);
        appendU32(header, compression);
        appendU32(header, 0);
        appendU32(header, 2835);
        appendU32(header, 2835);
        appendU32(header, coloursUsed);
        appendU32(header, 0);
        for (std::uint32_t mask : headerMasks)
            if (header.size() + 4 <= headerSize) appendU32(header, mask);
        header.resize(std::max<std::size_t>(header.size(), headerSize), 0);
    }
    for (std::uint32_t mask : masksAfterHeader) appendU32(header, mask);
    for (const Colour& quad : table) {
        header.push_back(quad.blue);
        header.push_back(quad.green);
        header.push_back(quad.red);
        if (headerSize != 12) header.push_back(quad.reserved);
    }
    const std::uint32_t offset = pixelOffset.value_or(static_cast<std::uint32_t>(14 + header.size()));
    std::vector<std::uint8_t> file;
    appendU16(file, type);
    appendU32(file, static_cast<std::uint32_t>(14 + header.size() + pixelData.size()));
    appendU32(file, 0);
    appendU32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), pixelData.begin(), pixelData.end());
    return file;
}

std::vector<std::uint8_t> filledRows(std::size_t rowBytes, std::int32_t height, std::uint8_t value)
{
    return std::vector<std::uint8_t>(rowBytes * static_cast<std::size_t>(height), value);
}

} // namespace plexor::test

#include "platform/dib_header.h"

#include "platform/little_endian.h"
#include "platform/picture_error.h"

namespace plexor {

bool DibHeader::isKnownSize(std::uint32_t size) noexcept
{
    switch (size) {
    case kCoreSize:
    case kInfoSize:
    case kRgbMasksSize:
    case kAlphaMaskSize:
    case kV4Size:
    case kV5Size: return true;
    default: return false;
    }
}

DibHeader DibHeader::read(std::span<const std::uint8_t> file, std::size_t offset)
{
    if (offset > file.size() || file.size() - offset < 4) throwReadError();
    DibHeader header;
    header.size = loadU32(file.data() + offset);
    if (!isKnownSize(header.size)) throwBitmapInvalid();
    if (file.size() - offset < header.size) throwReadError();
    const std::uint8_t* p = file.data() + offset;
    if (header.isCore()) {
        header.width = loadU16(p + 4);
        header.height = loadU16(p + 6);
        header.planes = loadU16(p + 8);
        header.bitCount = loadU16(p + 10);
        return header;
    }
    header.width = loadI32(p + 4);
    header.height = loadI32(p + 8);
    header.planes = loadU16(p + 12);
    header.bitCount = loadU16(p + 14);
    header.compression = loadU32(p + 16);
    header.imageBytes = loadU32(p + 20);
    header.xPixelsPerMetre = loadI32(p + 24);
    header.yPixelsPerMetre = loadI32(p + 28);
    header.coloursUsed = loadU32(p + 32);
    header.importantColours = loadU32(p + 36);
    if (header.hasRgbMasks()) {
        header.masks[0] = loadU32(p + 40);
        header.masks[1] = loadU32(p + 44);
        header.masks[2] = loadU32(p + 48);
    }
    if (header.hasAlphaMask()) header.masks[3] = loadU32(p + 52);
    return header;
}

void DibHeader::write(std::uint8_t* out) const noexcept
{
    if (isCore()) {
        storeU32(out, kCoreSize);
        storeU16(out + 4, static_cast<std::uint16_t>(width));
        storeU16(out + 6, static_cast<std::uint16_t>(height));
        storeU16(out + 8, planes);
        storeU16(out + 10, bitCount);
        return;
    }
    storeU32(out, kInfoSize);
    storeI32(out + 4, width);
    storeI32(out + 8, height);
    storeU16(out + 12, planes);
    storeU16(out + 14, bitCount);
    storeU32(out + 16, compression);
    storeU32(out + 20, imageBytes);
    storeI32(out + 24, xPixelsPerMetre);
    storeI32(out + 28, yPixelsPerMetre);
    storeU32(out + 32, coloursUsed);
    storeU32(out + 36, importantColours);
}

} // namespace plexor

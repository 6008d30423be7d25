#include "platform/bmp_info_header.h"

#include "platform/little_endian.h"
#include "platform/picture_error.h"

namespace plexor {

bool BmpInfoHeader::IsKnownSize(std::uint32_t size) noexcept
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

BmpInfoHeader BmpInfoHeader::Read(std::span<const std::uint8_t> file, std::size_t offset)
{
    if (offset > file.size() || file.size() - offset < 4) ThrowReadError();
    BmpInfoHeader header;
    header.Size = LoadU32(file.data() + offset);
    if (!IsKnownSize(header.Size)) ThrowBitmapInvalid();
    if (file.size() - offset < header.Size) ThrowReadError();
    const std::uint8_t* p = file.data() + offset;
    if (header.IsCore()) {
        header.Width = LoadU16(p + 4);
        header.Height = LoadU16(p + 6);
        header.Planes = LoadU16(p + 8);
        header.BitCount = LoadU16(p + 10);
        return header;
    }
    header.Width = LoadI32(p + 4);
    header.Height = LoadI32(p + 8);
    header.Planes = LoadU16(p + 12);
    header.BitCount = LoadU16(p + 14);
    header.Compression = LoadU32(p + 16);
    header.SizeImage = LoadU32(p + 20);
    header.XPelsPerMeter = LoadI32(p + 24);
    header.YPelsPerMeter = LoadI32(p + 28);
    header.ClrUsed = LoadU32(p + 32);
    header.ClrImportant = LoadU32(p + 36);
    if (header.HasRgbMasks()) {
        header.RedMask = LoadU32(p + 40);
        header.GreenMask = LoadU32(p + 44);
        header.BlueMask = LoadU32(p + 48);
    }
    if (header.HasAlphaMask()) header.AlphaMask = LoadU32(p + 52);
    return header;
}

void BmpInfoHeader::Write(std::uint8_t* out) const noexcept
{
    if (IsCore()) {
        StoreU32(out, kCoreSize);
        StoreU16(out + 4, static_cast<std::uint16_t>(Width));
        StoreU16(out + 6, static_cast<std::uint16_t>(Height));
        StoreU16(out + 8, Planes);
        StoreU16(out + 10, BitCount);
        return;
    }
    StoreU32(out, kInfoSize);
    StoreI32(out + 4, Width);
    StoreI32(out + 8, Height);
    StoreU16(out + 12, Planes);
    StoreU16(out + 14, BitCount);
    StoreU32(out + 16, Compression);
    StoreU32(out + 20, SizeImage);
    StoreI32(out + 24, XPelsPerMeter);
    StoreI32(out + 28, YPelsPerMeter);
    StoreU32(out + 32, ClrUsed);
    StoreU32(out + 36, ClrImportant);
}

} // namespace plexor

#include "platform/bmp_file_header.h"

#include "platform/little_endian.h"
#include "platform/picture_error.h"

namespace plexor {

BmpFileHeader BmpFileHeader::Read(std::span<const std::uint8_t> file)
{
    if (file.size() < kSize) ThrowReadError();
    const std::uint8_t* p = file.data();
    BmpFileHeader header;
    header.Type = LoadU16(p);
    header.FileSize = LoadU32(p + 2);
    header.Reserved1 = LoadU16(p + 6);
    header.Reserved2 = LoadU16(p + 8);
    header.PixelOffset = LoadU32(p + 10);
    if (header.Type != kType) ThrowBitmapInvalid();
    return header;
}

void BmpFileHeader::Write(std::uint8_t* out) const noexcept
{
    StoreU16(out, Type);
    StoreU32(out + 2, FileSize);
    StoreU16(out + 6, Reserved1);
    StoreU16(out + 8, Reserved2);
    StoreU32(out + 10, PixelOffset);
}

} // namespace plexor

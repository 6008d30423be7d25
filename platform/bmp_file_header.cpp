#include "platform/bmp_file_header.h"

#include "platform/little_endian.h"
#include "platform/picture_error.h"

namespace plexor {

BmpFileHeader BmpFileHeader::read(std::span<const std::uint8_t> file)
{
    if (file.size() < kSize) throwReadError();
    const std::uint8_t* p = file.data();
    BmpFileHeader header;
    header.type = loadU16(p);
    header.fileSize = loadU32(p + 2);
    header.reserved1 = loadU16(p + 6);
    header.reserved2 = loadU16(p + 8);
    header.pixelOffset = loadU32(p + 10);
    if (header.type != kType) throwBitmapInvalid();
    return header;
}

void BmpFileHeader::write(std::uint8_t* out) const noexcept
{
    storeU16(out, type);
    storeU32(out + 2, fileSize);
    storeU16(out + 6, reserved1);
    storeU16(out + 8, reserved2);
    storeU32(out + 10, pixelOffset);
}

} // namespace plexor

// Feeds arbitrary bytes to the bitmap reader. Whatever it accepts must convert
// to 24 bits, write out, and read back as the same bitmap.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "platform/bmp_reader.h"
#include "platform/bmp_writer.h"
#include "platform/dib_transfer.h"
#include "platform/picture_error.h"

namespace {

using namespace plexor;

// Pictures up to this many pixels are also converted to 24 bits and back.
constexpr std::uint64_t kTransferPixels = std::uint64_t{1} << 20;

void require(bool condition)
{
    if (!condition) std::abort();
}

void checkTransfers(Bitmap& bitmap)
{
    const auto pixels = static_cast<std::uint64_t>(bitmap.width()) * bitmap.height();
    if (bitmap.empty() || pixels > kTransferPixels) return;
    const DibHeader info = DibHeader::topDownRows24(bitmap.width(), bitmap.height());
    const std::size_t stride = (static_cast<std::size_t>(bitmap.width()) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> block(stride * static_cast<std::size_t>(bitmap.height()));
    require(copyRowsFromBitmap(bitmap, 0, bitmap.height(), block.data(), info) == bitmap.height());
    require(copyRowsToBitmap(bitmap, 0, bitmap.height(), block.data(), info) == bitmap.height());
}

void checkRoundTrip(const Bitmap& bitmap)
{
    const std::vector<std::uint8_t> file = encodeBmp(bitmap);
    require(file.empty() == bitmap.empty());
    const Bitmap reread = readBmp(file);
    require(reread.width() == bitmap.width() || bitmap.empty());
    require(reread.height() == bitmap.height() || bitmap.empty());
    if (bitmap.empty()) return;
    const PixelFormat& a = reread.format();
    const PixelFormat& b = bitmap.format();
    require(a.bitsPerPixel == b.bitsPerPixel && a.colourTable == b.colourTable && a.coreHeader == b.coreHeader &&
            a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask &&
            a.usesBitfields == b.usesBitfields);
    const auto rows = reread.bottomUpRows();
    const auto original = bitmap.bottomUpRows();
    require(rows.size() == original.size() && std::memcmp(rows.data(), original.data(), rows.size()) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        Bitmap bitmap = readBmp(std::span<const std::uint8_t>(data, size));
        checkRoundTrip(bitmap);
        checkTransfers(bitmap);
        checkRoundTrip(bitmap);
    } catch (const PictureError&) {
        // Refused input is the expected outcome for most bytes.
    }
    return 0;
}

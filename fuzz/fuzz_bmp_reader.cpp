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

void Require(bool condition)
{
    if (!condition) std::abort();
}

void CheckTransfers(TBitmap& bitmap)
{
    const auto pixels = static_cast<std::uint64_t>(bitmap.Width()) * bitmap.Height();
    if (bitmap.Empty() || pixels > kTransferPixels) return;
    BitmapInfo info{};
    info.bmiHeader.biWidth = bitmap.Width();
    info.bmiHeader.biHeight = -bitmap.Height();
    const std::size_t stride = (static_cast<std::size_t>(bitmap.Width()) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> block(stride * static_cast<std::size_t>(bitmap.Height()));
    Require(GetDIBits(bitmap, 0, bitmap.Height(), block.data(), info) == bitmap.Height());
    Require(SetDIBits(bitmap, 0, bitmap.Height(), block.data(), info) == bitmap.Height());
}

void CheckRoundTrip(const TBitmap& bitmap)
{
    const std::vector<std::uint8_t> file = EncodeBmp(bitmap);
    Require(file.empty() == bitmap.Empty());
    const TBitmap reread = ReadBmp(file);
    Require(reread.Width() == bitmap.Width() || bitmap.Empty());
    Require(reread.Height() == bitmap.Height() || bitmap.Empty());
    if (bitmap.Empty()) return;
    const PixelFormat& a = reread.Format();
    const PixelFormat& b = bitmap.Format();
    Require(a.BitsPerPixel == b.BitsPerPixel && a.ColourTable == b.ColourTable && a.CoreHeader == b.CoreHeader &&
            a.RedMask == b.RedMask && a.GreenMask == b.GreenMask && a.BlueMask == b.BlueMask &&
            a.UsesBitfields == b.UsesBitfields);
    const auto rows = reread.BottomUpRows();
    const auto original = bitmap.BottomUpRows();
    Require(rows.size() == original.size() && std::memcmp(rows.data(), original.data(), rows.size()) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        TBitmap bitmap = ReadBmp(std::span<const std::uint8_t>(data, size));
        CheckRoundTrip(bitmap);
        CheckTransfers(bitmap);
        CheckRoundTrip(bitmap);
    } catch (const PictureError&) {
        // Refused input is the expected outcome for most bytes.
    }
    return 0;
}

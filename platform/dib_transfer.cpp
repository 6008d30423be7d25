#include "platform/dib_transfer.h"

#include <algorithm>
#include <cstring>

#include "platform/row_conversion.h"

namespace plexor {

namespace {

// The only header size the transfers accept.
constexpr std::uint32_t kInfoHeaderSize = 40;

// Where a transfer's rows lie: in the caller's block and in the bitmap.
struct TransferPlan {
    std::size_t BlockStride = 0;
    bool TopDown = false;
    bool Valid = false;

    // The bitmap row that row i of the block holds.
    std::int32_t BitmapRow(std::int32_t firstRow, std::int32_t i, std::int32_t height) const noexcept
    {
        const std::int32_t line = firstRow + i;
        return TopDown ? line : height - 1 - line;
    }
};

TransferPlan Plan(const TBitmap& bitmap, std::int32_t firstRow, std::int32_t rowCount, const void* bits,
                  const BitmapInfo& info) noexcept
{
    TransferPlan plan;
    const BitmapInfoHeader& header = info.bmiHeader;
    if (bits == nullptr || bitmap.Empty()) return plan;
    if (header.biSize != kInfoHeaderSize || header.biPlanes != 1 || header.biBitCount != 24 ||
        header.biCompression != 0)
        return plan;
    const std::int64_t height = header.biHeight;
    if (header.biWidth != bitmap.Width() || (height < 0 ? -height : height) != bitmap.Height()) return plan;
    if (firstRow < 0 || rowCount <= 0 || std::int64_t{firstRow} + rowCount > std::int64_t{bitmap.Height()}) return plan;
    plan.BlockStride = static_cast<std::size_t>(PaddedRowBytes(static_cast<std::uint64_t>(bitmap.Width()), 24));
    plan.TopDown = height < 0;
    plan.Valid = true;
    return plan;
}

} // namespace

int GetDIBits(const TBitmap& bitmap, std::int32_t firstRow, std::int32_t rowCount, std::uint8_t* bits,
              const BitmapInfo& info)
{
    const TransferPlan plan = Plan(bitmap, firstRow, rowCount, bits, info);
    if (!plan.Valid) return 0;
    const std::int32_t width = bitmap.Width();
    const std::int32_t height = bitmap.Height();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t padding = plan.BlockStride - rowBytes;
    const RowExpander expander(bitmap.Format());
    for (std::int32_t i = 0; i < rowCount; ++i) {
        std::uint8_t* target = bits + static_cast<std::size_t>(i) * plan.BlockStride;
        expander.Expand(bitmap.Row(plan.BitmapRow(firstRow, i, height)), target, width);
        if (padding != 0) std::memset(target + rowBytes, 0, padding);
    }
    return rowCount;
}

int SetDIBits(TBitmap& bitmap, std::int32_t firstRow, std::int32_t rowCount, const std::uint8_t* bits,
              const BitmapInfo& info)
{
    const TransferPlan plan = Plan(bitmap, firstRow, rowCount, bits, info);
    if (!plan.Valid) return 0;
    const std::int32_t width = bitmap.Width();
    const std::int32_t height = bitmap.Height();
    NearestColourCache* matcher = bitmap.Format().Indexed() ? &bitmap.ColourMatcher() : nullptr;
    RowPacker packer(bitmap.Format(), matcher);
    for (std::int32_t i = 0; i < rowCount; ++i)
        packer.Pack(bits + static_cast<std::size_t>(i) * plan.BlockStride,
                    bitmap.Row(plan.BitmapRow(firstRow, i, height)), width);
    StreamingDone();
    return rowCount;
}

int SetDIBitsPart(TBitmap& bitmap, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                  const std::uint8_t* bits, const BitmapInfo& info)
{
    if (x0 < 0 || x1 > bitmap.Width() || x0 >= x1) return 0;
    const TransferPlan plan = Plan(bitmap, y0, y1 - y0, bits, info);
    if (!plan.Valid) return 0;
    // Pixels smaller than a byte are packed a whole byte at a time: the part
    // grows to byte boundaries, taking the block's own pixels beside it.
    const std::int32_t perByte = bitmap.Format().BitsPerPixel < 8 ? 8 / bitmap.Format().BitsPerPixel : 1;
    x0 -= x0 % perByte;
    x1 = std::min(bitmap.Width(), (x1 + perByte - 1) / perByte * perByte);
    const std::size_t targetOffset = static_cast<std::size_t>(x0) * bitmap.Format().BitsPerPixel / 8;
    const std::int32_t height = bitmap.Height();
    NearestColourCache* matcher = bitmap.Format().Indexed() ? &bitmap.ColourMatcher() : nullptr;
    RowPacker packer(bitmap.Format(), matcher);
    for (std::int32_t y = y0; y < y1; ++y) {
        const std::int32_t blockRow = plan.TopDown ? y : height - 1 - y;
        const std::uint8_t* row = bits + static_cast<std::size_t>(blockRow) * plan.BlockStride;
        packer.Pack(row + std::size_t{3} * x0, bitmap.Row(y) + targetOffset, x1 - x0);
    }
    StreamingDone();
    return y1 - y0;
}

} // namespace plexor

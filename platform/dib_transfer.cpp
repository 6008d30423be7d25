#include "platform/dib_transfer.h"

#include <algorithm>
#include <cstring>

#include "platform/row_conversion.h"

namespace plexor {

namespace {

// Where a transfer's rows lie: in the caller's block and in the bitmap.
struct TransferPlan {
    std::size_t blockStride = 0;
    bool topDown = false;
    bool valid = false;

    // The bitmap row that row i of the block holds.
    std::int32_t bitmapRow(std::int32_t firstRow, std::int32_t i, std::int32_t height) const noexcept
    {
        const std::int32_t line = firstRow + i;
        return topDown ? line : height - 1 - line;
    }
};

TransferPlan planTransfer(const Bitmap& bitmap, std::int32_t firstRow, std::int32_t rowCount, const void* bits,
                          const DibHeader& header) noexcept
{
    TransferPlan plan;
    if (bits == nullptr || bitmap.empty()) return plan;
    if (header.size != DibHeader::kInfoSize || header.planes != 1 || header.bitCount != 24 || header.compression != 0)
        return plan;
    const std::int64_t height = header.height;
    if (header.width != bitmap.width() || (height < 0 ? -height : height) != bitmap.height()) return plan;
    if (firstRow < 0 || rowCount <= 0 || std::int64_t{firstRow} + rowCount > std::int64_t{bitmap.height()}) return plan;
    plan.blockStride = static_cast<std::size_t>(paddedRowBytes(static_cast<std::uint64_t>(bitmap.width()), 24));
    plan.topDown = height < 0;
    plan.valid = true;
    return plan;
}

} // namespace

int copyRowsFromBitmap(const Bitmap& bitmap, std::int32_t firstRow, std::int32_t rowCount, std::uint8_t* bits,
                       const DibHeader& info)
{
    const TransferPlan plan = planTransfer(bitmap, firstRow, rowCount, bits, info);
    if (!plan.valid) return 0;
    const std::int32_t width = bitmap.width();
    const std::int32_t height = bitmap.height();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t padding = plan.blockStride - rowBytes;
    const RowExpander expander(bitmap.format());
    for (std::int32_t i = 0; i < rowCount; ++i) {
        std::uint8_t* target = bits + static_cast<std::size_t>(i) * plan.blockStride;
        expander.expand(bitmap.row(plan.bitmapRow(firstRow, i, height)), target, width);
        if (padding != 0) std::memset(target + rowBytes, 0, padding);
    }
    return rowCount;
}

int copyRowsToBitmap(Bitmap& bitmap, std::int32_t firstRow, std::int32_t rowCount, const std::uint8_t* bits,
                     const DibHeader& info)
{
    const TransferPlan plan = planTransfer(bitmap, firstRow, rowCount, bits, info);
    if (!plan.valid) return 0;
    const std::int32_t width = bitmap.width();
    const std::int32_t height = bitmap.height();
    NearestColourCache* matcher = bitmap.format().indexed() ? &bitmap.colourMatcher() : nullptr;
    RowPacker packer(bitmap.format(), matcher);
    for (std::int32_t i = 0; i < rowCount; ++i)
        packer.pack(bits + static_cast<std::size_t>(i) * plan.blockStride,
                    bitmap.row(plan.bitmapRow(firstRow, i, height)), width);
    streamingDone();
    return rowCount;
}

int copyPartToBitmap(Bitmap& bitmap, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                     const std::uint8_t* bits, const DibHeader& info)
{
    if (x0 < 0 || x1 > bitmap.width() || x0 >= x1) return 0;
    const TransferPlan plan = planTransfer(bitmap, y0, y1 - y0, bits, info);
    if (!plan.valid) return 0;
    // Pixels smaller than a byte are packed a whole byte at a time: the part
    // grows to byte boundaries, taking the block's own pixels beside it.
    const std::int32_t perByte = bitmap.format().bitsPerPixel < 8 ? 8 / bitmap.format().bitsPerPixel : 1;
    x0 -= x0 % perByte;
    x1 = std::min(bitmap.width(), (x1 + perByte - 1) / perByte * perByte);
    const std::size_t targetOffset = static_cast<std::size_t>(x0) * bitmap.format().bitsPerPixel / 8;
    const std::int32_t height = bitmap.height();
    NearestColourCache* matcher = bitmap.format().indexed() ? &bitmap.colourMatcher() : nullptr;
    RowPacker packer(bitmap.format(), matcher);
    for (std::int32_t y = y0; y < y1; ++y) {
        const std::int32_t blockRow = plan.topDown ? y : height - 1 - y;
        const std::uint8_t* row = bits + static_cast<std::size_t>(blockRow) * plan.blockStride;
        packer.pack(row + std::size_t{3} * x0, bitmap.row(y) + targetOffset, x1 - x0);
    }
    streamingDone();
    return y1 - y0;
}

} // namespace plexor

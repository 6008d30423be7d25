#include "platform/dib_transfer.h"

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

} // namespace plexor

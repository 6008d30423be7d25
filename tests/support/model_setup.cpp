#include "tests/support/model_setup.h"

#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "platform/dib_transfer.h"

namespace plexor::test {

void loadPicture(PictureBuffers& picture, std::int32_t width, std::int32_t height,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& colour,
                 const std::function<std::uint8_t(std::int32_t, std::int32_t)>& alpha,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& low,
                 const std::function<std::uint8_t(std::int32_t, std::int32_t)>& lowAlpha)
{
    ASSERT_FALSE(picture.replace(width, height, static_cast<bool>(alpha), std::numeric_limits<std::uint64_t>::max(),
                                 static_cast<bool>(low)));
    Bitmap bitmap(width, height, PixelFormat::rgb24());
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> rows(3 * pixels), alphas(alpha ? pixels : 0);
    std::vector<std::uint8_t> lows(low ? 3 * pixels : 0), lowAlphas(low && alpha ? pixels : 0);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * width + x;
            setPixel(rows.data(), width, x, y, colour(x, y));
            if (alpha) alphas[at] = alpha(x, y);
            if (low) setPixel(lows.data(), width, x, y, low(x, y));
            if (!lowAlphas.empty()) lowAlphas[at] = lowAlpha(x, y);
        }
    if (width > 0 && height > 0) {
        ASSERT_EQ(copyRowsToBitmap(bitmap, 0, height, rows.data(), DibHeader::topDownRows24(width, height)), height);
    }
    picture.load(bitmap, alphas, lows, lowAlphas);
}

void loadPicture(TestModel& model, std::int32_t width, std::int32_t height,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& colour,
                 const std::function<std::uint8_t(std::int32_t, std::int32_t)>& alpha)
{
    // A new picture, as Open gives it one: a grid laid for another size goes,
    // and so do the choice of points and the earlier passes.
    const bool sameSize = width == model.picture.width() && height == model.picture.height();
    loadPicture(model.picture, width, height, colour, alpha);
    if (!sameSize && model.grid.exists()) dropGrid(model.grid, model.work);
    model.grid.setEarlierPasses({});
    model.grid.selection().clear();
    model.work.changes().markAll();
}

bool sameBytes(const ByteBuffer& a, const ByteBuffer& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

bool sameBytes(const PixelPlanes& a, const PixelPlanes& b)
{
    return sameBytes(a.colours, b.colours) && sameBytes(a.alpha, b.alpha) && sameBytes(a.low, b.low) &&
           sameBytes(a.alphaLow, b.alphaLow);
}

} // namespace plexor::test

#include "tests/support/model_setup.h"

#include <cstring>

#include <gtest/gtest.h>

namespace plexor::test {

void LoadPicture(DeformModel& m, std::int32_t width, std::int32_t height,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& colour)
{
    ASSERT_TRUE(m.AllocateBuffers(width, height));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) SetPixel(m.WorkImage.data(), width, x, y, colour(x, y));
    m.CopyPixels(m.WorkImage, m.ViewImage);
    m.CopyPixels(m.WorkImage, m.SourceImage);
}

bool SameBytes(const PixelBuffer& a, const PixelBuffer& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

} // namespace plexor::test

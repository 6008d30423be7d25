#include "tests/support/model_setup.h"

#include <cstring>

#include <gtest/gtest.h>

namespace plexor::test {

void loadPicture(DeformModel& m, std::int32_t width, std::int32_t height,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& colour)
{
    ASSERT_TRUE(m.allocateBuffers(width, height));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) setPixel(m.workImage().data(), width, x, y, colour(x, y));
    m.copyPixels(m.workImage(), m.viewImage());
    m.copyPixels(m.workImage(), m.sourceImage());
}

bool sameBytes(const ByteBuffer& a, const ByteBuffer& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

} // namespace plexor::test

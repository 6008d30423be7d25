#include "tests/support/model_setup.h"

#include <cstring>

#include <gtest/gtest.h>

namespace plexor::test {

void loadPicture(DeformModel& m, std::int32_t width, std::int32_t height,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& colour,
                 const std::function<std::uint8_t(std::int32_t, std::int32_t)>& alpha)
{
    ASSERT_TRUE(m.allocateBuffers(width, height, static_cast<bool>(alpha)));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            setPixel(m.workImage().data(), width, x, y, colour(x, y));
            if (!alpha) continue;
            const std::size_t at = static_cast<std::size_t>(y) * width + x;
            m.sourceAlpha().data()[at] = m.workAlpha().data()[at] = m.viewAlpha().data()[at] = alpha(x, y);
        }
    m.copyPixels(m.workImage(), m.viewImage());
    m.copyPixels(m.workImage(), m.sourceImage());
}

bool sameBytes(const ByteBuffer& a, const ByteBuffer& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

} // namespace plexor::test

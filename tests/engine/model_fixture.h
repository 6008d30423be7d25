#pragma once

// Helpers for the engine's tests: a model holding a picture, and a message
// sink that records what it is shown.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/deform_model.h"

namespace plexor {

struct Rgb {
    std::uint8_t blue, green, red;
};

struct RecordedMessage {
    std::string text, caption;
    int style;
};

class RecordingSink : public MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, int style) override
    {
        messages.push_back({text, caption, style});
    }
    std::vector<RecordedMessage> messages;
};

// Gives the model a picture as Open does: geometry, buffers, a clear splat
// mask, the pixels of `colour(x, y)` in all three buffers.
template <class Colour>
void LoadPicture(DeformModel& m, std::int32_t width, std::int32_t height, Colour colour)
{
    m.ImageWidth = width;
    m.ImageHeight = height;
    if (!m.AllocateBuffers()) return;
    m.SplatMask = PixelBuffer::Obtain(static_cast<std::size_t>(m.PixelCapacity));
    std::fill(m.SplatMask.data(), m.SplatMask.data() + m.SplatMask.size(), std::uint8_t{0});
    m.ImageLoaded = true;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            std::uint8_t* p = m.WorkImage.data() + 3 * (static_cast<std::size_t>(y) * width + x);
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    m.CopyPixels(m.WorkImage, m.ViewImage);
    m.CopyPixels(m.WorkImage, m.SourceImage);
}

// A picture whose every pixel differs from its neighbours.
inline Rgb Pattern(std::int32_t x, std::int32_t y)
{
    return Rgb{static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 5 + x * 3),
               static_cast<std::uint8_t>(x ^ y)};
}

} // namespace plexor

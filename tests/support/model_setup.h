#pragma once

#include <cstdint>
#include <functional>

#include "engine/deform_model.h"
#include "tests/support/colours.h"

namespace plexor::test {

// Gives the model a width x height picture (width a multiple of 4) as Open
// does: its buffers, with pixel (x, y) of colour(x, y) in workImage, viewImage
// and sourceImage, and with `alpha`, the alpha of pixel (x, y) alpha(x, y)
// in the alpha planes. Fails the test when the buffers cannot be had.
void loadPicture(DeformModel& model, std::int32_t width, std::int32_t height,
                 const std::function<Rgb(std::int32_t, std::int32_t)>& colour = pattern,
                 const std::function<std::uint8_t(std::int32_t, std::int32_t)>& alpha = {});

// Whether two buffers hold the same bytes.
bool sameBytes(const ByteBuffer& a, const ByteBuffer& b);

} // namespace plexor::test

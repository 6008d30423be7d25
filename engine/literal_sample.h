#pragma once

#include <cstdint>

#include "engine/deform_model.h"

namespace plexor {

// The accumulated coordinates of sample (i, j) of cell (c, r), computed in
// extended precision exactly as the recipe states.
void LiteralSampleCoordinates(const DeformModel& m, std::int32_t c, std::int32_t r, std::int32_t i, std::int32_t j,
                              float& x, float& y);

} // namespace plexor

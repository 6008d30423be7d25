#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/cell_ref.h"
#include "engine/cell_terms.h"
#include "engine/grid_geometry.h"

namespace plexor::test {

// A picture of real-valued channels, 3 a pixel (blue, green, red), pixel
// (x, y) at x + y * width.
struct RealPicture {
    std::int32_t width = 0, height = 0;
    std::vector<double> bgr;
};

// The deformed picture as it should ideally be, for small cases: the source
// (3 bytes a pixel) is taken as a continuous picture, piecewise bilinear
// through values sharpened along each axis so that its mean over each pixel
// is the pixel's value; each pixel of each cell of `cells` is cut into 8 x 8
// sub-samples, each carried through the cell's deformation (the rest
// position plus the B-spline of the displacements of the terms `termsOf`
// gives, less the terms at rest), and each destination pixel is the mean of
// the sub-samples that land in it, from whichever cell. A pixel no
// sub-sample reaches keeps its value in `start`.
RealPicture idealDeformation(const std::uint8_t* source, std::int32_t width, std::int32_t height,
                             const GridGeometry& grid, std::span<const CellRef> cells,
                             const std::function<CellTerms(CellRef)>& termsOf, const std::uint8_t* start);

// The peak signal-to-noise ratio in dB of `picture` (3 bytes a pixel, of the
// ideal's size) against `ideal`, over the rectangles at rest of `cells`.
double peakSignalToNoise(const std::uint8_t* picture, const RealPicture& ideal, const GridGeometry& grid,
                         std::span<const CellRef> cells);

} // namespace plexor::test

#include "engine/resampling_weights.h"

#include <cmath>
#include <cstdlib>

namespace plexor {
namespace {

// The sharpening that keeps each pixel's mean: the bilinear surface through
// values g has the mean (g[u - 1] + 6 g[u] + g[u + 1]) / 8 over pixel u, so
// g is the picture filtered with the inverse of that, whose coefficients are
// sqrt(2) * z^|j| for z = 2 sqrt(2) - 3 (their sum is 1).
constexpr int kSharpenReach = 14; // |z|^14 is below 1e-10

// The integral of the unit hat max(0, 1 - |x|) from -infinity to x.
double hatIntegral(double x) noexcept
{
    if (x <= -1.0) return 0.0;
    if (x <= 0.0) return (x + 1.0) * (x + 1.0) / 2.0;
    if (x <= 1.0) return 1.0 - (1.0 - x) * (1.0 - x) / 2.0;
    return 1.0;
}

// The mean of the hat over a box of width `footprint` centred at x.
double boxedHat(double footprint, double x) noexcept
{
    if (footprint <= 0.0) return std::fabs(x) < 1.0 ? 1.0 - std::fabs(x) : 0.0;
    return (hatIntegral(x + footprint / 2.0) - hatIntegral(x - footprint / 2.0)) / footprint;
}

// The weight of the pixel whose centre lies `x` from the position.
double pixelWeight(double footprint, double x) noexcept
{
    const double z = 2.0 * std::sqrt(2.0) - 3.0;
    double sum = 0.0;
    double power = 1.0; // z^|j|
    for (int j = 0; j <= kSharpenReach; ++j) {
        const double boxed = j == 0 ? boxedHat(footprint, x) : boxedHat(footprint, x - j) + boxedHat(footprint, x + j);
        sum += std::sqrt(2.0) * power * boxed;
        power *= z;
    }
    return sum;
}

ResamplingWeights buildTable() noexcept
{
    ResamplingWeights table{};
    constexpr int kOne = 1 << kWeightBits;
    for (int level = 0; level <= kFootprintLevels; ++level)
        for (int phase = 0; phase < kPhases; ++phase) {
            double taps[4];
            exactResamplingTaps(double(level) / kLevelsPerPixel, double(phase) / kPhases, taps);
            int sum = 0;
            int largest = 1;
            for (int i = 0; i < 4; ++i) {
                table.taps[level][phase][i] = static_cast<std::int16_t>(std::lround(taps[i] * kOne));
                sum += table.taps[level][phase][i];
                if (std::abs(table.taps[level][phase][i]) > std::abs(table.taps[level][phase][largest])) largest = i;
            }
            // Rounded one by one, the weights may miss 1 by a unit or two;
            // the largest takes the difference, so that a flat picture stays
            // flat.
            table.taps[level][phase][largest] =
                static_cast<std::int16_t>(table.taps[level][phase][largest] + kOne - sum);
            for (int i = 0; i < 4; ++i) table.wideTaps[level][phase][i] = table.taps[level][phase][i];
        }
    return table;
}

} // namespace

void exactResamplingTaps(double footprint, double phase, double (&taps)[4]) noexcept
{
    // Tap i lies at phase + 1 - i from the position; the pixels beyond the
    // four, out to where the weights vanish, add theirs to the nearest tap.
    for (int i = 0; i < 4; ++i) taps[i] = pixelWeight(footprint, phase + 1.0 - i);
    for (int i = -1; i >= -kSharpenReach - 2; --i) taps[0] += pixelWeight(footprint, phase + 1.0 - i);
    for (int i = 4; i <= kSharpenReach + 5; ++i) taps[3] += pixelWeight(footprint, phase + 1.0 - i);
}

const ResamplingWeights& resamplingWeights() noexcept
{
    static const ResamplingWeights kTable = buildTable();
    return kTable;
}

} // namespace plexor

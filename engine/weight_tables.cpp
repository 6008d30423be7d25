#include "engine/weight_tables.h"

#include <cassert>
#include <limits>

#include "engine/extended.h"

namespace plexor {

std::vector<float> sampleParameters(std::int32_t n)
{
    assert(n >= 1);
    std::vector<float> parameters(static_cast<std::size_t>(n) + 1);
    const float h = store(Extended{1} / n);
    float t = 0.0f;
    for (float& p : parameters) {
        p = t;
        t = store(Extended{t} + h);
    }
    return parameters;
}

std::vector<float> computeBasisTable(std::int32_t n)
{
    const std::vector<float> parameters = sampleParameters(n);
    std::vector<float> basis(4 * parameters.size());
    const Extended s = kSixth;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const float t = parameters[i];
        const Extended et = t;
        const float u = store(Extended{1} - et);
        const float q = store(et * t * t);
        const Extended eu = u;
        const Extended eq = q;
        float* row = &basis[4 * i];
        row[0] = store(((s * eu) * eu) * eu);
        row[1] = store((3 * eq - (6 * et) * et + 4) * s);
        row[2] = store(((-3 * eq + (3 * et) * et) + 3 * et + 1) * s);
        row[3] = store(s * eq);
    }
    return basis;
}

std::vector<float> computeWeightTable(const std::vector<float>& basis, std::int32_t n)
{
    const std::size_t samples = static_cast<std::size_t>(n) + 1;
    std::vector<float> weights(16 * samples * samples);
    std::size_t at = 0;
    for (std::size_t i = 0; i < samples; ++i)
        for (std::size_t j = 0; j < samples; ++j)
            for (std::size_t k = 0; k < 4; ++k)
                for (std::size_t l = 0; l < 4; ++l)
                    weights[at++] = store(Extended{basis[4 * i + k]} * basis[4 * j + l]);
    return weights;
}

std::int32_t paddedSampleCount(std::int32_t n)
{
    return (n + 1 + kWeightLanes - 1) / kWeightLanes * kWeightLanes;
}

std::vector<double> computeWeightLanes(const std::vector<float>& weights, std::int32_t n)
{
    const std::size_t samples = static_cast<std::size_t>(n) + 1;
    const std::size_t padded = static_cast<std::size_t>(paddedSampleCount(n));
    std::vector<double> lanes(samples * 16 * padded, 0.0);
    for (std::size_t i = 0; i < samples; ++i)
        for (std::size_t j = 0; j < samples; ++j)
            for (std::size_t q = 0; q < 16; ++q) lanes[(i * 16 + q) * padded + j] = weights[16 * (i * samples + j) + q];
    return lanes;
}

std::uint64_t weightTableBytes(std::int32_t n)
{
    // Beyond this many samples the product below would pass 2^64; no such
    // table can be had anyway.
    if (n < 0 || n >= (std::int32_t{1} << 28)) return std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t samples = static_cast<std::uint64_t>(n) + 1;
    const std::uint64_t padded = (samples + kWeightLanes - 1) / kWeightLanes * kWeightLanes;
    return sizeof(float) * (4 * samples + 16 * samples * samples) + sizeof(double) * 16 * samples * padded;
}

void WeightTables::build(std::int32_t n)
{
    // Each table goes before its successor is obtained.
    basis_.clear();
    basis_.shrink_to_fit();
    weights_.clear();
    weights_.shrink_to_fit();
    lanes_.clear();
    lanes_.shrink_to_fit();
    if (n == 0) return;
    // All three or none: a table that cannot be had leaves none built.
    std::vector<float> basis = computeBasisTable(n);
    std::vector<float> weights = computeWeightTable(basis, n);
    lanes_ = computeWeightLanes(weights, n);
    weights_ = std::move(weights);
    basis_ = std::move(basis);
}

} // namespace plexor

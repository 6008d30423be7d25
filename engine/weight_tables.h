#pragma once

#include <cstdint>
#include <vector>

namespace plexor {

// The parameters t_0 .. t_n of a cell's n + 1 sample positions: t starts at
// 0 and is accumulated in steps of h = 1/n, stored to single precision after
// each step, so t_n need not be exactly 1.
std::vector<float> sampleParameters(std::int32_t n);

// The uniform cubic B-spline basis at the n + 1 sample positions of a cell:
// (n + 1) rows of 4 values, row i at the accumulated parameter t_i.
std::vector<float> computeBasisTable(std::int32_t n);

// (n + 1)^2 blocks of 16 weights: block i * (n + 1) + j, entry 4k + l is
// basis(i, k) * basis(j, l), rounded once to single precision.
std::vector<float> computeWeightTable(const std::vector<float>& basis, std::int32_t n);

// The same weights laid out for the fast cell kernel: per sample row i, per
// entry q = 4k + l, the weights of the row's samples side by side as doubles
// (each exactly the float weight), padded to a multiple of kWeightLanes
// samples with zero weights.
inline constexpr std::int32_t kWeightLanes = 16;
std::int32_t paddedSampleCount(std::int32_t n);
std::vector<double> computeWeightLanes(const std::vector<float>& weights, std::int32_t n);

// Bytes the tables for step n take, to refuse a step whose tables cannot be
// had before anything is changed.
std::uint64_t weightTableBytes(std::int32_t n);

} // namespace plexor

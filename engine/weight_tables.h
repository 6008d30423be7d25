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
inline constexpr std::int32_t kWeightLanes = 32;
std::int32_t paddedSampleCount(std::int32_t n);
std::vector<double> computeWeightLanes(const std::vector<float>& weights, std::int32_t n);

// Bytes the tables for step n take, to refuse a step whose tables cannot be
// had before anything is changed.
std::uint64_t weightTableBytes(std::int32_t n);

// The three tables for one step, built together and released together. The
// step itself is the grid's: the tables do not keep it.
class WeightTables {
public:
    // Builds the tables for step n, or, when n is 0, releases them.
    void build(std::int32_t n);
    bool built() const noexcept { return !basis_.empty(); }

    const std::vector<float>& basis() const noexcept { return basis_; }     // (n + 1) rows of 4
    const std::vector<float>& weights() const noexcept { return weights_; } // (n + 1)^2 blocks of 16
    const std::vector<double>& lanes() const noexcept { return lanes_; }    // the weights for the fast kernel

private:
    std::vector<float> basis_;
    std::vector<float> weights_;
    std::vector<double> lanes_;
};

} // namespace plexor

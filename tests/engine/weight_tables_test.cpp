#include "engine/weight_tables.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

std::uint32_t bits(float v)
{
    return std::bit_cast<std::uint32_t>(v);
}

// Compares a basis row with its worked values bit for bit.
void expectRow(const std::vector<float>& basis, int row, float c0, float c1, float c2, float c3)
{
    const float expected[4] = {c0, c1, c2, c3};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(bits(basis[4 * row + k]), bits(expected[k]))
            << "row " << row << " column " << k << ": " << basis[4 * row + k] << " vs " << expected[k];
}

TEST(WeightTables, SixthIsTheFloatNearestOneSixth)
{
    EXPECT_EQ(bits(0x1.555556p-3f), 0x3E2AAAABu);
}

TEST(WeightTables, FirstRowIsTheSameForEveryStep)
{
    for (int n : {1, 2, 3, 7, 48, 64, 100}) {
        const std::vector<float> basis = computeBasisTable(n);
        ASSERT_EQ(basis.size(), 4u * (n + 1));
        expectRow(basis, 0, 0.16666667f, 0.66666669f, 0.16666667f, 0.0f);
        EXPECT_EQ(bits(basis[1]), bits(4 * 0x1.555556p-3f)) << "the second value is exactly 4s";
    }
}

TEST(WeightTables, WorkedRowsForSmallSteps)
{
    const std::vector<float> one = computeBasisTable(1);
    expectRow(one, 1, 0.0f, 0.16666667f, 0.66666669f, 0.16666667f);

    const std::vector<float> two = computeBasisTable(2);
    expectRow(two, 1, 0.020833334f, 0.47916669f, 0.47916669f, 0.020833334f);
}

TEST(WeightTables, StepFortyEightIsNotSymmetric)
{
    const std::vector<float> basis = computeBasisTable(48);
    expectRow(basis, 24, 0.020833327f, 0.47916666f, 0.47916672f, 0.020833341f);
    expectRow(basis, 48, 1.2105513e-20f, 0.16666688f, 0.66666669f, 0.16666646f);
    EXPECT_NE(basis[4 * 48], 0.0f) << "the last row's first value is tiny but not zero";
}

TEST(WeightTables, LastParameterIsAccumulatedNotComputed)
{
    EXPECT_EQ(bits(sampleParameters(48).back()), bits(0.99999958f));
    for (int n : {10, 20, 24}) EXPECT_EQ(bits(sampleParameters(n).back()), bits(1.0000001f)) << "n = " << n;
    for (int n : {1, 2, 3, 4, 5, 8, 16, 32, 64, 128, 256, 1024})
        EXPECT_EQ(sampleParameters(n).back(), 1.0f) << "n = " << n;
    // The parameter is a running sum, not i / n: for 48 the middle is not 0.5.
    EXPECT_NE(sampleParameters(48)[24], 0.5f);
}

TEST(WeightTables, WeightsAreRoundedProductsOfBasisValues)
{
    const int n = 48;
    const std::vector<float> basis = computeBasisTable(n);
    const std::vector<float> weights = computeWeightTable(basis, n);
    ASSERT_EQ(weights.size(), 16u * 49 * 49);
    // Block 0: sample row 0, column 0. Its last row and column are 0, and
    // entry 4 * 1 + 1 is f(4s * 4s).
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(weights[4 * 3 + q], 0.0f);
        EXPECT_EQ(weights[4 * q + 3], 0.0f);
    }
    EXPECT_EQ(bits(weights[5]), bits(0.44444448f));
    // Block (i, j) entry 4k + l pairs the row sample with k, the column sample with l.
    const int i = 7, j = 30, k = 2, l = 0;
    const float expected = static_cast<float>(static_cast<long double>(basis[4 * i + k]) * basis[4 * j + l]);
    EXPECT_EQ(bits(weights[16 * (i * (n + 1) + j) + 4 * k + l]), bits(expected));
    EXPECT_NE(weights[16 * (i * (n + 1) + j) + 4 * k + l], weights[16 * (j * (n + 1) + i) + 4 * k + l]);
}

TEST(WeightTables, TableSizeNeverWrapsAround)
{
    EXPECT_EQ(weightTableBytes(48), 4u * (4 * 49 + 16 * 49 * 49) + 8u * 16 * 49 * paddedSampleCount(48));
    EXPECT_EQ(weightTableBytes(2147483647), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(weightTableBytes(1 << 28), std::numeric_limits<std::uint64_t>::max());
    EXPECT_GT(weightTableBytes((1 << 28) - 1), std::uint64_t{1} << 60);
}

TEST(WeightTables, LanesHoldTheSameWeights)
{
    for (int n : {1, 7, 8, 48}) {
        const std::vector<float> weights = computeWeightTable(computeBasisTable(n), n);
        const std::vector<double> lanes = computeWeightLanes(weights, n);
        const int padded = paddedSampleCount(n);
        ASSERT_EQ(padded % kWeightLanes, 0);
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j < padded; ++j)
                for (int q = 0; q < 16; ++q) {
                    const double lane = lanes[(static_cast<std::size_t>(i) * 16 + q) * padded + j];
                    if (j <= n)
                        ASSERT_EQ(lane, static_cast<double>(weights[16 * (i * (n + 1) + j) + q]));
                    else
                        ASSERT_EQ(lane, 0.0f);
                }
    }
}

TEST(WeightTables, BuildStartsTheCellBookkeepingAfresh)
{
    TestModel model;
    loadPicture(model, 96, 96);
    model.layGrid(16);
    const std::vector<float> first = model.grid.tables().weights();
    ASSERT_EQ(model.work.queue().queuedBytes().size(), 36u);

    // Cells waiting before a grid is laid again are forgotten.
    model.work.queue().appendBatch(std::vector<CellRef>{{3, 0}});
    ASSERT_EQ(model.work.queue().size(), 2u);
    ASSERT_EQ(model.work.queue().queuedBytes()[3], 1);
    model.layGrid(16);
    EXPECT_EQ(model.grid.sampling().samplesPerCell(), 16);
    EXPECT_EQ(model.work.queue().size(), 0u);
    EXPECT_EQ(model.work.queue().queuedBytes(), std::vector<std::uint8_t>(36, 0));
    EXPECT_EQ(model.grid.tables().basis().size(), 4u * 17);
    EXPECT_EQ(0, std::memcmp(first.data(), model.grid.tables().weights().data(), first.size() * sizeof(float)))
        << "two builds with the same step give the same tables";
}

} // namespace
} // namespace plexor::test

#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "engine/deform_model.h"
#include "tests/support/allocation_control.h"
#include "tests/support/model_setup.h"
#include "tests/support/recording_sink.h"

namespace plexor::test {
namespace {

class AllocateBuffersTest : public ::testing::Test {
protected:
    AllocateBuffersTest() { model.Messages = &sink; }

    void ExpectOneMessage(const char* text)
    {
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, text);
        EXPECT_EQ(sink.shown[0].caption, "Error");
        EXPECT_EQ(sink.shown[0].style, 16);
        sink.shown.clear();
    }

    DeformModel model;
    RecordingSink sink;
};

TEST_F(AllocateBuffersTest, SizesFollowThePaddedGeometry)
{
    ASSERT_TRUE(model.AllocateBuffers(100, 50)); // 97 pixels widened to a multiple of 4
    EXPECT_TRUE(model.ImageLoaded);
    EXPECT_EQ(model.ImageWidth, 100);
    EXPECT_EQ(model.ImageHeight, 50);
    EXPECT_EQ(model.PixelCapacity, 5003);
    for (const PixelBuffer* buffer : {&model.WorkImage, &model.ViewImage, &model.SourceImage})
        EXPECT_EQ(buffer->size(), 15009u);
    ASSERT_EQ(model.SplatMask.size(), 5003u);
    EXPECT_TRUE(std::all_of(model.SplatMask.data(), model.SplatMask.data() + 5003, [](auto b) { return b == 0; }));
    EXPECT_TRUE(sink.shown.empty());

    ASSERT_TRUE(model.AllocateBuffers(0, 0)); // an empty picture still has its spare pixels
    EXPECT_EQ(model.PixelCapacity, 3);
    EXPECT_EQ(model.WorkImage.size(), 9u);
}

// What a failed replacement must leave exactly as it was.
struct Snapshot {
    explicit Snapshot(const DeformModel& m)
        : width(m.ImageWidth), height(m.ImageHeight), work(m.WorkImage.data(), m.WorkImage.data() + m.WorkImage.size()),
          points(m.ControlPoints.size()), workData(m.WorkImage.data()), maskData(m.SplatMask.data())
    {}
    void ExpectSame(const DeformModel& m) const
    {
        EXPECT_TRUE(m.ImageLoaded);
        EXPECT_EQ(m.ImageWidth, width);
        EXPECT_EQ(m.ImageHeight, height);
        EXPECT_EQ(m.WorkImage.data(), workData) << "the same buffer, not a copy";
        EXPECT_EQ(m.SplatMask.data(), maskData);
        ASSERT_EQ(m.WorkImage.size(), work.size());
        EXPECT_EQ(0, std::memcmp(m.WorkImage.data(), work.data(), work.size()));
        EXPECT_EQ(m.ControlPoints.size(), points);
    }
    std::int32_t width, height;
    std::vector<std::uint8_t> work;
    std::size_t points;
    const std::uint8_t* workData;
    const std::uint8_t* maskData;
};

TEST_F(AllocateBuffersTest, ARefusedBufferLeavesTheModelAsItWas)
{
    LoadPicture(model, 40, 30);
    model.LayGrid(10);
    const Snapshot before(model);
    // The check passes; then the system refuses the first, second, third or
    // fourth buffer of a 400 x 300 picture (the mask, a third of the others).
    for (int granted = 0; granted < 4; ++granted) {
        const AllocationLimit limit(400 * 300 + 3, granted);
        EXPECT_FALSE(model.AllocateBuffers(400, 300));
        EXPECT_EQ(limit.Refused(), 1);
        ExpectOneMessage(granted == 0 ? "Not enough memory for source." : "Not enough memory for destination.");
        before.ExpectSame(model);
    }
}

TEST_F(AllocateBuffersTest, PicturesThatDoNotFitAreRefusedBeforeAnyAllocation)
{
    LoadPicture(model, 8, 8);
    const Snapshot before(model);
    const std::uint64_t buffer = 3ull * 1000003;
    struct Case {
        std::int32_t width, height;
        std::uint64_t available;
        const char* message;
    };
    // 65536 x 65536 overflows the pixel count; 40000 x 40000 fits the count
    // but its first buffer alone, 4.8 GB, is more than the 4 GiB at hand.
    for (const Case c : {Case{1000, 1000, buffer - 1, "Not enough memory for source."},
                         Case{1000, 1000, 2 * buffer - 1, "Not enough memory for destination."},
                         Case{1000, 1000, 3 * buffer, "Not enough memory for destination."}, // no room for the mask
                         Case{65536, 65536, std::uint64_t{4} << 30, "Not enough memory for source."},
                         Case{std::numeric_limits<std::int32_t>::max() / 4 * 4, 8, std::uint64_t{4} << 30,
                              "Not enough memory for source."},
                         Case{40000, 40000, std::uint64_t{4} << 30, "Not enough memory for source."}}) {
        model.AvailableMemory = [c] { return c.available; };
        const AllocationLimit noneAtAll(1 << 20); // a buffer obtained would be refused here
        EXPECT_FALSE(model.AllocateBuffers(c.width, c.height)) << c.width << " x " << c.height;
        EXPECT_EQ(noneAtAll.Refused(), 0);
        ExpectOneMessage(c.message);
        before.ExpectSame(model);
    }
    model.AvailableMemory = [buffer] { return 4 * buffer; };
    EXPECT_TRUE(model.AllocateBuffers(1000, 1000));
}

TEST_F(AllocateBuffersTest, ReleaseAllLeavesNoPictureAndNoGrid)
{
    LoadPicture(model, 40, 30);
    model.LayGrid(10);
    model.ReleaseAll();
    EXPECT_FALSE(model.GridExists());
    EXPECT_TRUE(model.WeightTable.empty());
    EXPECT_FALSE(model.ImageLoaded);
    EXPECT_TRUE(model.WorkImage.empty() && model.ViewImage.empty() && model.SourceImage.empty());
    EXPECT_TRUE(model.SplatMask.empty());
}

TEST_F(AllocateBuffersTest, SystemMemoryIsReadable)
{
    EXPECT_GT(SystemAvailableMemory(), std::uint64_t{1} << 20);
}

TEST_F(AllocateBuffersTest, CopyPixelsCopiesTheWholeBufferOrComplains)
{
    LoadPicture(model, 8, 2);
    std::memset(model.ViewImage.data(), 0, model.ViewImage.size());
    model.WorkImage[model.WorkImage.size() - 1] = 0xAB; // a spare pixel is copied too
    model.CopyPixels(model.WorkImage, model.ViewImage);
    EXPECT_EQ(0, std::memcmp(model.WorkImage.data(), model.ViewImage.data(), model.WorkImage.size()));

    PixelBuffer none;
    model.CopyPixels(none, model.ViewImage); // empty source: nothing, silently
    EXPECT_TRUE(sink.shown.empty());

    model.CopyPixels(model.WorkImage, none);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "memcpy failed");
    EXPECT_EQ(sink.shown[0].caption, "Error");
    EXPECT_EQ(sink.shown[0].style, 0);
    EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace plexor::test

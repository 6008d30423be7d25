#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "engine/deform_model.h"
#include "model_fixture.h"

namespace plexor {
namespace {

class AllocateBuffersTest : public ::testing::Test {
protected:
    AllocateBuffersTest() { model.Messages = &sink; }
    DeformModel model;
    RecordingSink sink;
};

TEST_F(AllocateBuffersTest, SizesFollowThePaddedGeometry)
{
    model.ImageWidth = 100; // 97 pixels widened to a multiple of 4
    model.ImageHeight = 50;
    ASSERT_TRUE(model.AllocateBuffers());
    EXPECT_EQ(model.PixelCapacity, 5003);
    EXPECT_EQ(model.WorkImage.size(), 15009u);
    EXPECT_EQ(model.ViewImage.size(), 15009u);
    EXPECT_EQ(model.SourceImage.size(), 15009u);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(AllocateBuffersTest, EmptyPictureStillHasItsSparePixels)
{
    ASSERT_TRUE(model.AllocateBuffers());
    EXPECT_EQ(model.PixelCapacity, 3);
    EXPECT_EQ(model.WorkImage.size(), 9u);
}

TEST_F(AllocateBuffersTest, EachFailureNamesTheBufferAndLeavesNoneHeld)
{
    model.ImageWidth = 1000;
    model.ImageHeight = 1000;
    const std::uint64_t buffer = 3ull * 1000003;
    struct Case {
        std::uint64_t available;
        const char* message;
    };
    for (const Case c :
         {Case{buffer - 1, "Not enough memory for source."}, Case{2 * buffer - 1, "Not enough memory for destination."},
          Case{3 * buffer, "Not enough memory for destination."}}) { // no room for the mask
        sink.messages.clear();
        model.AvailableMemory = [c] { return c.available; };
        EXPECT_FALSE(model.AllocateBuffers());
        ASSERT_EQ(sink.messages.size(), 1u) << "shown once";
        EXPECT_EQ(sink.messages[0].text, c.message);
        EXPECT_EQ(sink.messages[0].caption, "Error");
        EXPECT_EQ(sink.messages[0].style, 16);
        EXPECT_TRUE(model.WorkImage.empty());
        EXPECT_TRUE(model.ViewImage.empty());
        EXPECT_TRUE(model.SourceImage.empty());
    }
    model.AvailableMemory = [buffer] { return 4 * buffer; };
    EXPECT_TRUE(model.AllocateBuffers());
}

TEST_F(AllocateBuffersTest, HugePicturesAreRefusedBeforeAnyAllocation)
{
    // 65536 x 65536 overflows the pixel count; 40000 x 40000 fits the count
    // but its first buffer alone, 4.8 GB, is more than the 4 GiB at hand.
    for (auto [w, h] :
         {std::pair{65536, 65536}, std::pair{std::numeric_limits<std::int32_t>::max(), 8}, std::pair{40000, 40000}}) {
        sink.messages.clear();
        model.ImageWidth = w;
        model.ImageHeight = h;
        model.AvailableMemory = [] { return std::uint64_t{4} << 30; };
        EXPECT_FALSE(model.AllocateBuffers()) << w << " x " << h;
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].text, "Not enough memory for source.");
        EXPECT_TRUE(model.WorkImage.empty());
    }
}

TEST_F(AllocateBuffersTest, SystemMemoryIsReadable)
{
    const std::uint64_t available = SystemAvailableMemory();
    EXPECT_GT(available, std::uint64_t{1} << 20);
}

TEST_F(AllocateBuffersTest, CopyPixelsCopiesTheWholeBufferOrComplains)
{
    LoadPicture(model, 8, 2, Pattern);
    std::memset(model.ViewImage.data(), 0, model.ViewImage.size());
    model.WorkImage[model.WorkImage.size() - 1] = 0xAB; // a spare pixel is copied too
    model.CopyPixels(model.WorkImage, model.ViewImage);
    EXPECT_EQ(0, std::memcmp(model.WorkImage.data(), model.ViewImage.data(), model.WorkImage.size()));

    PixelBuffer none;
    model.CopyPixels(none, model.ViewImage); // empty source: nothing, silently
    EXPECT_TRUE(sink.messages.empty());

    model.CopyPixels(model.WorkImage, none);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "memcpy failed");
    EXPECT_EQ(sink.messages[0].caption, "Error");
    EXPECT_EQ(sink.messages[0].style, 0);
    EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace plexor

namespace plexor {
namespace {

TEST(BufferShortfall, AnswersAsAllocateBuffersWouldWithoutAllocating)
{
    DeformModel model;
    const std::uint64_t buffer = 3ull * 1000003;
    model.AvailableMemory = [buffer] { return 2 * buffer; };
    EXPECT_STREQ(model.BufferShortfall(1000, 1000, 0), "Not enough memory for destination.");
    EXPECT_EQ(model.BufferShortfall(1000, 1000, 2 * buffer), nullptr) << "memory that will be freed first counts";
    EXPECT_STREQ(model.BufferShortfall(65536, 65536, 0), "Not enough memory for source.");
    EXPECT_STREQ(model.BufferShortfall(-4, 10, 0), "Not enough memory for source.");
    model.AvailableMemory = [] { return std::uint64_t{0}; };
    EXPECT_STREQ(model.BufferShortfall(8, 8, 0), "Not enough memory for source.");
    EXPECT_TRUE(model.WorkImage.empty());
}

} // namespace
} // namespace plexor

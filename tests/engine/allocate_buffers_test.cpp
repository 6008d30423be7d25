#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "engine/deform_model.h"
#include "engine/system_memory.h"
#include "tests/support/allocation_control.h"
#include "tests/support/model_setup.h"
#include "tests/support/recording_sink.h"

namespace plexor::test {
namespace {

class AllocateBuffersTest : public ::testing::Test {
protected:
    AllocateBuffersTest() { model.setMessageSink(&sink); }

    void expectOneMessage(const char* text)
    {
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, text);
        EXPECT_EQ(sink.shown[0].caption, "Error");
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Stop);
        sink.shown.clear();
    }

    DeformModel model;
    RecordingSink sink;
};

TEST_F(AllocateBuffersTest, SizesFollowThePaddedGeometry)
{
    ASSERT_TRUE(model.allocateBuffers(100, 50)); // 97 pixels widened to a multiple of 4
    EXPECT_TRUE(model.imageLoaded());
    EXPECT_EQ(model.imageWidth(), 100);
    EXPECT_EQ(model.imageHeight(), 50);
    EXPECT_EQ(model.pixelCapacity(), 5003);
    for (const ByteBuffer* buffer : {&model.workImage(), &model.viewImage(), &model.sourceImage()})
        EXPECT_EQ(buffer->size(), 15009u);
    ASSERT_EQ(model.splatMask().size(), 5003u);
    EXPECT_TRUE(std::all_of(model.splatMask().data(), model.splatMask().data() + 5003, [](auto b) { return b == 0; }));
    EXPECT_TRUE(sink.shown.empty());

    ASSERT_TRUE(model.allocateBuffers(0, 0)); // an empty picture still has its spare pixels
    EXPECT_EQ(model.pixelCapacity(), 3);
    EXPECT_EQ(model.workImage().size(), 9u);
}

// What a failed replacement must leave exactly as it was.
struct Snapshot {
    explicit Snapshot(const DeformModel& m)
        : width(m.imageWidth()), height(m.imageHeight()),
          work(m.workImage().data(), m.workImage().data() + m.workImage().size()), points(m.points().size()),
          workData(m.workImage().data()), maskData(m.splatMask().data())
    {}
    void expectSame(const DeformModel& m) const
    {
        EXPECT_TRUE(m.imageLoaded());
        EXPECT_EQ(m.imageWidth(), width);
        EXPECT_EQ(m.imageHeight(), height);
        EXPECT_EQ(m.workImage().data(), workData) << "the same buffer, not a copy";
        EXPECT_EQ(m.splatMask().data(), maskData);
        ASSERT_EQ(m.workImage().size(), work.size());
        EXPECT_EQ(0, std::memcmp(m.workImage().data(), work.data(), work.size()));
        EXPECT_EQ(m.points().size(), points);
    }
    std::int32_t width, height;
    std::vector<std::uint8_t> work;
    std::size_t points;
    const std::uint8_t* workData;
    const std::uint8_t* maskData;
};

TEST_F(AllocateBuffersTest, ARefusedBufferLeavesTheModelAsItWas)
{
    loadPicture(model, 40, 30);
    model.layGrid(10);
    const Snapshot before(model);
    // The check passes; then the system refuses the first, second, third or
    // fourth buffer of a 400 x 300 picture (the mask, a third of the others).
    for (int granted = 0; granted < 4; ++granted) {
        const AllocationLimit limit(400 * 300 + 3, granted);
        EXPECT_FALSE(model.allocateBuffers(400, 300));
        EXPECT_EQ(limit.refused(), 1);
        expectOneMessage(granted == 0 ? "Not enough memory for source." : "Not enough memory for destination.");
        before.expectSame(model);
    }
}

TEST_F(AllocateBuffersTest, PicturesThatDoNotFitAreRefusedBeforeAnyAllocation)
{
    loadPicture(model, 8, 8);
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
        model.setAvailableMemory([c] { return c.available; });
        const AllocationLimit noneAtAll(1 << 20); // a buffer obtained would be refused here
        EXPECT_FALSE(model.allocateBuffers(c.width, c.height)) << c.width << " x " << c.height;
        EXPECT_EQ(noneAtAll.refused(), 0);
        expectOneMessage(c.message);
        before.expectSame(model);
    }
    model.setAvailableMemory([buffer] { return 4 * buffer; });
    EXPECT_TRUE(model.allocateBuffers(1000, 1000));
}

TEST_F(AllocateBuffersTest, ReleaseAllLeavesNoPictureAndNoGrid)
{
    loadPicture(model, 40, 30);
    model.layGrid(10);
    model.releaseAll();
    EXPECT_FALSE(model.gridExists());
    EXPECT_TRUE(model.tables().weights().empty());
    EXPECT_FALSE(model.imageLoaded());
    EXPECT_TRUE(model.workImage().empty() && model.viewImage().empty() && model.sourceImage().empty());
    EXPECT_TRUE(model.splatMask().empty());
}

TEST_F(AllocateBuffersTest, SystemMemoryIsReadable)
{
    EXPECT_GT(systemAvailableMemory(), std::uint64_t{1} << 20);
}

TEST_F(AllocateBuffersTest, CopyPixelsCopiesTheWholeBufferOrComplains)
{
    loadPicture(model, 8, 2);
    std::memset(model.viewImage().data(), 0, model.viewImage().size());
    model.workImage()[model.workImage().size() - 1] = 0xAB; // a spare pixel is copied too
    model.copyPixels(model.workImage(), model.viewImage());
    EXPECT_EQ(0, std::memcmp(model.workImage().data(), model.viewImage().data(), model.workImage().size()));

    ByteBuffer none;
    model.copyPixels(none, model.viewImage()); // empty source: nothing, silently
    EXPECT_TRUE(sink.shown.empty());

    model.copyPixels(model.workImage(), none);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "memcpy failed");
    EXPECT_EQ(sink.shown[0].caption, "Error");
    EXPECT_EQ(sink.shown[0].icon, MessageIcon::None);
    EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace plexor::test

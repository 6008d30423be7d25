#include <algorithm>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "engine/grid_laying.h"
#include "engine/picture_buffers.h"
#include "engine/system_memory.h"
#include "engine/tile_store.h"
#include "tests/support/allocation_control.h"
#include "tests/support/model_setup.h"

namespace plexor::test {
namespace {

constexpr std::uint64_t kPlenty = std::numeric_limits<std::uint64_t>::max();

TEST(PictureBuffers, SizesFollowThePaddedGeometry)
{
    PictureBuffers picture;
    ASSERT_FALSE(picture.replace(100, 50, false, kPlenty)); // 97 pixels widened to a multiple of 4
    EXPECT_TRUE(picture.hasPicture());
    EXPECT_FALSE(picture.hasAlpha());
    EXPECT_EQ(picture.width(), 100);
    EXPECT_EQ(picture.height(), 50);
    EXPECT_EQ(picture.capacity(), 5003);
    for (const PixelPlanes* planes : {&picture.work(), &picture.view(), &picture.source()}) {
        EXPECT_EQ(planes->colours.size(), 15009u);
        EXPECT_TRUE(planes->alpha.empty());
    }
    ASSERT_EQ(picture.marks().size(), 5003u);
    EXPECT_TRUE(std::all_of(picture.marks().data(), picture.marks().data() + 5003, [](auto b) { return b == 0; }));

    ASSERT_FALSE(picture.replace(100, 50, true, kPlenty));
    for (const PixelPlanes* planes : {&picture.work(), &picture.view(), &picture.source()})
        EXPECT_EQ(planes->alpha.size(), 5003u);

    ASSERT_FALSE(picture.replace(0, 0, false, kPlenty)); // an empty picture still has its spare pixels
    EXPECT_EQ(picture.capacity(), 3);
    EXPECT_EQ(picture.work().colours.size(), 9u);
}

// What a failed replacement must leave exactly as it was.
struct Snapshot {
    explicit Snapshot(const PictureBuffers& p)
        : width(p.width()), height(p.height()),
          work(p.work().colours.data(), p.work().colours.data() + p.work().colours.size()),
          workData(p.work().colours.data()), maskData(p.marks().data())
    {}
    void expectSame(const PictureBuffers& p) const
    {
        EXPECT_TRUE(p.hasPicture());
        EXPECT_EQ(p.width(), width);
        EXPECT_EQ(p.height(), height);
        EXPECT_EQ(p.work().colours.data(), workData) << "the same buffer, not a copy";
        EXPECT_EQ(p.marks().data(), maskData);
        ASSERT_EQ(p.work().colours.size(), work.size());
        EXPECT_EQ(0, std::memcmp(p.work().colours.data(), work.data(), work.size()));
    }
    std::int32_t width, height;
    std::vector<std::uint8_t> work;
    const std::uint8_t* workData;
    const std::uint8_t* maskData;
};

TEST(PictureBuffers, ARefusedBufferLeavesThePictureAsItWas)
{
    PictureBuffers picture;
    loadPicture(picture, 40, 30);
    const Snapshot before(picture);
    // The check passes; then the system refuses the first, second, third or
    // fourth buffer of a 400 x 300 picture (the mask, a third of the others).
    for (int granted = 0; granted < 4; ++granted) {
        const AllocationLimit limit(400 * 300 + 3, granted);
        const std::optional<MemoryShortfall> missing = picture.replace(400, 300, false, kPlenty);
        EXPECT_EQ(limit.refused(), 1);
        EXPECT_EQ(missing, granted == 0 ? MemoryShortfall::Source : MemoryShortfall::Destination);
        before.expectSame(picture);
    }
}

TEST(PictureBuffers, PicturesThatDoNotFitAreRefusedBeforeAnyAllocation)
{
    PictureBuffers picture;
    loadPicture(picture, 8, 8);
    const Snapshot before(picture);
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
        const AllocationLimit noneAtAll(1 << 20); // a buffer obtained would be refused here
        const std::optional<MemoryShortfall> missing = picture.replace(c.width, c.height, false, c.available);
        ASSERT_TRUE(missing) << c.width << " x " << c.height;
        EXPECT_STREQ(shortfallMessage(*missing), c.message) << c.width << " x " << c.height;
        EXPECT_EQ(PictureBuffers::shortfall(c.width, c.height, false, c.available), missing);
        EXPECT_EQ(noneAtAll.refused(), 0);
        before.expectSame(picture);
    }
    EXPECT_FALSE(picture.replace(1000, 1000, false, 4 * buffer));
}

TEST(PictureBuffers, ReleaseAndDropGridLeaveNoPictureAndNoGrid)
{
    TestModel model;
    loadPicture(model, 40, 30);
    model.layGrid(10);
    ASSERT_FALSE(model.picture.keepOpened(kPlenty));
    dropGrid(model.grid, model.work);
    model.picture.release();
    EXPECT_FALSE(model.grid.exists());
    EXPECT_TRUE(model.grid.tables().weights().empty());
    EXPECT_TRUE(model.work.queue().queuedBytes().empty());
    EXPECT_FALSE(model.picture.hasPicture());
    EXPECT_EQ(model.picture.capacity(), 0);
    for (const PixelPlanes* planes : {&model.picture.work(), &model.picture.view(), &model.picture.source()})
        EXPECT_TRUE(planes->empty());
    EXPECT_TRUE(model.picture.marks().empty());
}

TEST(PictureBuffers, SystemMemoryIsReadable)
{
    EXPECT_GT(systemAvailableMemory(), std::uint64_t{1} << 20);
}

TEST(PictureBuffers, RestoreWorkCopiesWholePlanesSparePixelsIncluded)
{
    PictureBuffers picture;
    loadPicture(picture, 8, 2, pattern, [](std::int32_t x, std::int32_t y) { return std::uint8_t(x * 16 + y); });
    const SplatTarget target = picture.splatTarget();
    std::memset(target.work, 0x77, picture.work().colours.size() - 1);
    target.work[picture.work().colours.size() - 1] = 0xAB; // a spare pixel is copied too
    std::memset(target.workAlpha, 0x11, picture.work().alpha.size());
    ASSERT_FALSE(sameBytes(picture.work(), picture.source()));
    picture.restoreWork();
    EXPECT_TRUE(sameBytes(picture.work(), picture.source()));

    PictureBuffers none;
    none.restoreWork(); // no picture: nothing to copy, and no crash
    EXPECT_FALSE(none.hasPicture());
}

// A deep picture's low bytes, alpha's too, come back with its high ones from
// the tiles that undo keeps, and a pass over the result starts from them.
TEST(PictureBuffers, TilesAndPassesKeepADeepPicturesLowBytes)
{
    PictureBuffers picture;
    const auto level = [](std::int32_t x, std::int32_t y) { return std::uint8_t(x * 16 + y); };
    loadPicture(
        picture, 72, 66, pattern, level,
        [&](std::int32_t x, std::int32_t y) {
            return Rgb{9, level(y, x), 3};
        },
        level);
    ASSERT_EQ(picture.marks().size(), 2u * static_cast<std::size_t>(picture.capacity()));
    EXPECT_TRUE(picture.view().low.empty());
    TileStore tiles;
    tiles.reset(72, 66, true, true);
    tiles.save(picture.work(), PixelRect{0, 0, 72, 66});
    const SplatTarget target = picture.splatTarget();
    // The tiles hold the rows, not the three pixels after them.
    std::memset(target.lowWork, 0x55, 3 * 72 * 66);
    std::memset(target.lowWorkAlpha, 0x66, 72 * 66);
    ChangeRegion changes;
    picture.restoreWork(tiles, changes);
    EXPECT_TRUE(sameBytes(picture.work(), picture.source()));

    std::memset(target.lowWork, 0x55, picture.work().low.size());
    ASSERT_FALSE(picture.keepOpened(kPlenty));
    picture.beginPassOverResult();
    EXPECT_TRUE(sameBytes(picture.work(), picture.source()));
    picture.startFromOpened();
    picture.restoreWork();
    EXPECT_EQ(picture.work().low[0], 3); // the first pixel's blue as read
}

} // namespace
} // namespace plexor::test

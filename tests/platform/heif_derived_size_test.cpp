// The size a HEIF file's grids and overlays declare, found from the boxes
// alone, before anything is decoded.

#include "platform/heif_derived_size.h"

#include <gtest/gtest.h>

#include "tests/support/crafted_heif.h"

namespace plexor::test {
namespace {

std::pair<std::uint32_t, std::uint32_t> sizeOf(const std::vector<std::uint8_t>& file)
{
    const DeclaredSize size = largestHeifDerivedSize(file);
    return {size.width, size.height};
}

TEST(HeifDerivedSize, IsTheLargestAGridOrOverlayDeclaresWhereverItsDescriptionLies)
{
    const std::vector<std::uint8_t> tile(40, 7);
    // Every version of the location box, descriptions in the file and in
    // the meta box's own data, 16- and 32-bit fields.
    for (const int version : {0, 1, 2}) {
        SCOPED_TRACE("locations of version " + std::to_string(version));
        const std::vector<std::uint8_t> file = craftedHeif({{"hvc1", tile},
                                                            {"grid", gridDescription(4032, 3024, false), true},
                                                            {"iovl", overlayDescription(70000, 5000, true)},
                                                            {"grid", gridDescription(300, 65535, false), true}},
                                                           version);
        EXPECT_EQ(sizeOf(file), std::pair(70000u, 5000u));
        // A cut anywhere before the last item's bytes leaves what can still
        // be followed, and reads nothing beyond the cut.
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            const std::vector<std::uint8_t> part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            const auto [width, height] = sizeOf(part);
            EXPECT_TRUE(width == 0 || width == 4032 || width == 300 || width == 70000)
                << "cut at " << cut << ": " << width;
        }
    }
    EXPECT_EQ(sizeOf(craftedHeif({{"grid", gridDescription(9, 40000, true)}}, 2)), std::pair(9u, 40000u));
    EXPECT_EQ(sizeOf(craftedHeif({{"hvc1", tile}, {"Exif", tile}}, 1)), std::pair(0u, 0u));
    // A description too short for its fields says nothing.
    EXPECT_EQ(sizeOf(craftedHeif({{"grid", {0, 1, 0, 0, 1, 2}}}, 1)), std::pair(0u, 0u));
}

} // namespace
} // namespace plexor::test

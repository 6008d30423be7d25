// Feeds arbitrary text to the grid file reader. Whatever it reads must write
// out and read back as the same grid file; whatever suits a picture of its
// own size (up to a small one) must lay over it and deform its batches.

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/grid_file.h"
#include "engine/parallel_deform.h"
#include "engine/picture_buffers.h"
#include "platform/bitmap.h"

namespace {

using namespace plexor;

void require(bool condition)
{
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = parseGridFile(text);
    const GridFile* file = std::get_if<GridFile>(&read);
    if (file == nullptr) {
        require(std::get<GridFileError>(read).line >= 1);
        return 0;
    }
    const auto again = parseGridFile(writeGridFile(*file));
    require(std::holds_alternative<GridFile>(again));
    const GridFile& back = std::get<GridFile>(again);
    require(back.width == file->width && back.height == file->height && back.resampling == file->resampling &&
            back.passes == file->passes);

    // Laid over a picture of its own size, if that is small and a multiple
    // of 4 across.
    if (file->width > 256 || file->height > 256 || file->width % 4 != 0 || file->passes.size() > 4) return 0;
    for (const GridPass& pass : file->passes)
        if (pass.step > 64) return 0;
    if (checkGridFile(*file, file->width, file->height)) return 0;
    constexpr std::uint64_t kPlenty = std::numeric_limits<std::uint64_t>::max();
    PictureBuffers picture;
    ControlGrid grid;
    CellWork work;
    require(!picture.replace(file->width, file->height, false, kPlenty));
    picture.load(Bitmap(file->width, file->height, PixelFormat::rgb24()), {});
    require(!layGridFile(grid, picture, work, *file, kPlenty, [&](std::span<const CellRef> cells, bool) {
        deformCellsInParallel(grid.sampling(), picture.splatTarget(), cells, {});
    }));
    return 0;
}

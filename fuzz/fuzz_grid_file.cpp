// Feeds arbitrary text to the grid file reader. Whatever it reads must write
// out and read back as the same grid file; whatever suits a picture of its
// own size (up to a small one) must lay over it and deform its batches.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/grid_file.h"
#include "engine/parallel_deform.h"

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
    require(back.width == file->width && back.height == file->height && back.passes == file->passes);

    // Laid over a picture of its own size, if that is small and a multiple
    // of 4 across.
    if (file->width > 256 || file->height > 256 || file->width % 4 != 0 || file->passes.size() > 4) return 0;
    for (const GridPass& pass : file->passes)
        if (pass.step > 64) return 0;
    if (checkGridFile(*file, file->width, file->height)) return 0;
    DeformModel model;
    require(model.allocateBuffers(file->width, file->height));
    require(layGridFile(model, *file,
                        [&](std::span<const CellRef> cells, bool) { deformCellsInParallel(model, cells, {}); }));
    return 0;
}

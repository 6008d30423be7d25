// Feeds arbitrary text to the grid file reader. Whatever it reads must write
// out and read back as the same grid file; whatever suits a picture of its
// own size (up to a small one) must lay over it and deform its batch.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/grid_file.h"
#include "engine/parallel_deform.h"

namespace {

using namespace plexor;

void Require(bool condition)
{
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = ParseGridFile(text);
    const GridFile* file = std::get_if<GridFile>(&read);
    if (file == nullptr) {
        Require(std::get<GridFileError>(read).Line >= 1);
        return 0;
    }
    const auto again = ParseGridFile(WriteGridFile(*file));
    Require(std::holds_alternative<GridFile>(again));
    const GridFile& back = std::get<GridFile>(again);
    Require(back.Width == file->Width && back.Height == file->Height && back.Step == file->Step &&
            back.Points == file->Points);

    // Laid over a picture of its own size, if that is small and a multiple
    // of 4 across.
    if (file->Width > 256 || file->Height > 256 || file->Width % 4 != 0 || file->Step > 64) return 0;
    if (CheckGridFile(*file, file->Width, file->Height)) return 0;
    DeformModel model;
    Require(model.AllocateBuffers(file->Width, file->Height));
    LayGridFile(model, *file);
    const std::vector<TCellRef> cells = DisplacedCells(model);
    DeformCellsInParallel(model, cells, {});
    return 0;
}

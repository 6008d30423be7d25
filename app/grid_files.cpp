#include "app/grid_files.h"

#include <string_view>

#include "platform/file_io.h"
#include "platform/picture_error.h"

namespace plexor {
namespace {

// Larger than the file of any grid a picture can hold with every point moved
// a step of 2 or more; a file beyond it is not read into memory.
constexpr std::uint64_t kMaxGridFileBytes = std::uint64_t{1} << 30;

[[noreturn]] void refuse(const std::string& path, const std::string& reason)
{
    throw GridFileRefused("Cannot use the grid file " + path + ": " + reason);
}

[[noreturn]] void refuse(const std::string& path, const GridFileError& error)
{
    refuse(path, "line " + std::to_string(error.line) + ": " + error.reason);
}

} // namespace

GridFile readGridFile(const std::string& path)
{
    ByteBuffer bytes;
    try {
        bytes = readWholeFile(path, kMaxGridFileBytes);
    } catch (const PictureError& error) {
        refuse(path, error.what());
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::variant<GridFile, GridFileError> parsed = parseGridFile(text);
    if (const GridFileError* error = std::get_if<GridFileError>(&parsed)) refuse(path, *error);
    return std::move(std::get<GridFile>(parsed));
}

void checkGridFileFits(const GridFile& file, const std::string& path, std::int32_t width, std::int32_t height,
                       std::uint64_t available)
{
    if (const std::optional<GridFileError> error = checkGridFile(file, width, height)) refuse(path, *error);
    for (const GridPass& pass : file.passes)
        if (gridBytes(gridGeometryFor(width, height, pass.step)) > available)
            refuse(path, GridFileError{pass.stepLine,
                                       "the tables of step " + std::to_string(pass.step) + " do not fit in memory"});
}

void saveGridFile(const ControlGrid& grid, std::int32_t width, std::int32_t height, const std::string& path)
{
    const std::string text = writeGridFile(gridFileOf(grid, width, height));
    writeFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace plexor

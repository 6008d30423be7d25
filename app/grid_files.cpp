#include "app/grid_files.h"

#include <string_view>

#include "platform/file_io.h"
#include "platform/picture_error.h"

namespace plexor {
namespace {

// Larger than the file of any grid a picture can hold with every point moved
// a step of 2 or more; a file beyond it is not read into memory.
constexpr std::uint64_t kMaxGridFileBytes = std::uint64_t{1} << 30;

[[noreturn]] void Refuse(const std::string& path, const std::string& reason)
{
    throw GridFileRefused("Cannot use the grid file " + path + ": " + reason);
}

[[noreturn]] void Refuse(const std::string& path, const GridFileError& error)
{
    Refuse(path, "line " + std::to_string(error.Line) + ": " + error.Reason);
}

} // namespace

GridFile ReadGridFile(const std::string& path)
{
    ByteBuffer bytes;
    try {
        bytes = ReadWholeFile(path, kMaxGridFileBytes);
    } catch (const PictureError& error) {
        Refuse(path, error.what());
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::variant<GridFile, GridFileError> parsed = ParseGridFile(text);
    if (const GridFileError* error = std::get_if<GridFileError>(&parsed)) Refuse(path, *error);
    return std::move(std::get<GridFile>(parsed));
}

void CheckGridFileFits(const GridFile& file, const std::string& path, std::int32_t width, std::int32_t height,
                       const std::function<std::uint64_t()>& available)
{
    if (const std::optional<GridFileError> error = CheckGridFile(file, width, height)) Refuse(path, *error);
    if (available && GridBytes(GridGeometryFor(width, height, file.Step, file.Step)) > available())
        Refuse(path, GridFileError{file.StepLine,
                                   "the tables of step " + std::to_string(file.Step) + " do not fit in memory"});
}

void SaveGridFile(const DeformModel& model, const std::string& path)
{
    const std::string text = WriteGridFile(GridFileOf(model));
    WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace plexor

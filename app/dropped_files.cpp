#include "app/dropped_files.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>

#include "app/picture_files.h"
#include "platform/file_io.h"
#include "platform/picture.h"

namespace plexor {
namespace {

constexpr std::string_view kGridExtension = "grid";
constexpr std::string_view kGridFirstWord = "plexor-grid";

bool isGridExtension(const std::string& extension)
{
    return std::equal(extension.begin(), extension.end(), kGridExtension.begin(), kGridExtension.end(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

} // namespace

DropKind dropKindOf(std::span<const std::string> paths, std::span<const PictureFormat> readable, bool pictureOpen)
{
    if (paths.size() != 1) return DropKind::Refused;
    const std::string& path = paths.front();
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) return DropKind::Refused;
    ByteBuffer head;
    try {
        head = readFileHead(path, std::max(kPictureSignatureBytes, kGridFirstWord.size()));
    } catch (const std::exception&) {
        return DropKind::Refused;
    }
    const std::span<const std::uint8_t> bytes = head.bytes();
    const std::string extension = pictureFileExtension(path);
    const bool gridWord = bytes.size() >= kGridFirstWord.size() &&
                          std::equal(kGridFirstWord.begin(), kGridFirstWord.end(), bytes.begin());
    if (gridWord || (!pictureFormatOfContent(bytes) && isGridExtension(extension)))
        return pictureOpen ? DropKind::Grid : DropKind::Refused;
    const std::optional<PictureFormat> format = formatToRead(bytes, extension);
    if (format && std::find(readable.begin(), readable.end(), *format) != readable.end()) return DropKind::Picture;
    return DropKind::Refused;
}

} // namespace plexor

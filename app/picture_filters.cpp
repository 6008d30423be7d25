#include "app/picture_filters.h"

#include <string>

namespace plexor {
namespace {

std::vector<std::string> extensionsOf(PictureFormat format)
{
    const auto extensions = pictureFormatExtensions(format);
    return {extensions.begin(), extensions.end()};
}

void addFormats(std::vector<FileFilter>& filters, std::span<const PictureFormat> formats)
{
    for (const PictureFormat format : formats)
        filters.push_back({std::string(pictureFormatName(format)) + " pictures", extensionsOf(format)});
}

} // namespace

std::vector<FileFilter> openDialogFilters(std::span<const PictureFormat> formats)
{
    FileFilter all{"All pictures", {}};
    for (const PictureFormat format : formats)
        for (std::string& extension : extensionsOf(format)) all.extensions.push_back(std::move(extension));
    std::vector<FileFilter> filters{std::move(all)};
    addFormats(filters, formats);
    filters.push_back({"All files", {}});
    return filters;
}

std::vector<FileFilter> saveDialogFilters(std::span<const PictureFormat> formats)
{
    std::vector<FileFilter> filters;
    addFormats(filters, formats);
    return filters;
}

} // namespace plexor

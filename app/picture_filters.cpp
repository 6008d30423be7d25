#include "app/picture_filters.h"

namespace plexor {

namespace {

// "*.jpg;*.jpeg;..." for the format's extensions.
std::string patterns(PictureFormat format)
{
    std::string patterns;
    for (const std::string_view extension : pictureFormatExtensions(format)) {
        if (!patterns.empty()) patterns += ';';
        patterns.append("*.").append(extension);
    }
    return patterns;
}

// One entry: "Name (patterns)|patterns".
void addEntry(std::string& filter, const std::string& name, const std::string& patterns)
{
    if (!filter.empty()) filter += '|';
    filter.append(name).append(" (").append(patterns).append(")|").append(patterns);
}

void addFormats(std::string& filter, std::span<const PictureFormat> formats)
{
    for (const PictureFormat format : formats)
        addEntry(filter, std::string(pictureFormatName(format)) + " pictures", patterns(format));
}

} // namespace

std::string openDialogFilter(std::span<const PictureFormat> formats)
{
    std::string all;
    for (const PictureFormat format : formats) {
        if (!all.empty()) all += ';';
        all += patterns(format);
    }
    std::string filter;
    addEntry(filter, "All pictures", all);
    addFormats(filter, formats);
    addEntry(filter, "All files", "*.*");
    return filter;
}

std::string saveDialogFilter(std::span<const PictureFormat> formats)
{
    std::string filter;
    addFormats(filter, formats);
    return filter;
}

} // namespace plexor

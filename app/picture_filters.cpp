#include "app/picture_filters.h"

namespace plexor {

namespace {

// "*.jpg;*.jpeg;..." for the format's extensions.
std::string Patterns(PictureFormat format)
{
    std::string patterns;
    for (const std::string_view extension : PictureFormatExtensions(format)) {
        if (!patterns.empty()) patterns += ';';
        patterns.append("*.").append(extension);
    }
    return patterns;
}

// One entry: "Name (patterns)|patterns".
void AddEntry(std::string& filter, const std::string& name, const std::string& patterns)
{
    if (!filter.empty()) filter += '|';
    filter.append(name).append(" (").append(patterns).append(")|").append(patterns);
}

void AddFormats(std::string& filter, std::span<const PictureFormat> formats)
{
    for (const PictureFormat format : formats)
        AddEntry(filter, std::string(PictureFormatName(format)) + " pictures", Patterns(format));
}

} // namespace

std::string OpenDialogFilter(std::span<const PictureFormat> formats)
{
    std::string all;
    for (const PictureFormat format : formats) {
        if (!all.empty()) all += ';';
        all += Patterns(format);
    }
    std::string filter;
    AddEntry(filter, "All pictures", all);
    AddFormats(filter, formats);
    AddEntry(filter, "All files", "*.*");
    return filter;
}

std::string SaveDialogFilter(std::span<const PictureFormat> formats)
{
    std::string filter;
    AddFormats(filter, formats);
    return filter;
}

} // namespace plexor

#include "platform/picture_format.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace plexor {

namespace {

constexpr std::string_view kBmp[] = {"bmp"};
constexpr std::string_view kPng[] = {"png"};
constexpr std::string_view kJpeg[] = {"jpg", "jpeg", "jpe", "jfif"};
constexpr std::string_view kTiff[] = {"tif", "tiff"};
constexpr std::string_view kWebp[] = {"webp"};
constexpr std::string_view kGif[] = {"gif"};

bool startsWith(std::span<const std::uint8_t> head, std::size_t at, std::string_view bytes) noexcept
{
    return head.size() >= at + bytes.size() && std::memcmp(head.data() + at, bytes.data(), bytes.size()) == 0;
}

bool equalWithoutCase(std::string_view a, std::string_view b) noexcept
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::string_view pictureFormatName(PictureFormat format) noexcept
{
    switch (format) {
    case PictureFormat::Bmp: return "BMP";
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Tiff: return "TIFF";
    case PictureFormat::Webp: return "WebP";
    case PictureFormat::Gif: return "GIF";
    }
    return "";
}

std::span<const std::string_view> pictureFormatExtensions(PictureFormat format) noexcept
{
    switch (format) {
    case PictureFormat::Bmp: return kBmp;
    case PictureFormat::Png: return kPng;
    case PictureFormat::Jpeg: return kJpeg;
    case PictureFormat::Tiff: return kTiff;
    case PictureFormat::Webp: return kWebp;
    case PictureFormat::Gif: return kGif;
    }
    return {};
}

std::optional<PictureFormat> pictureFormatOfExtension(std::string_view extension) noexcept
{
    for (const PictureFormat format : kPictureFormats)
        for (const std::string_view known : pictureFormatExtensions(format))
            if (equalWithoutCase(extension, known)) return format;
    return std::nullopt;
}

std::optional<PictureFormat> pictureFormatOfContent(std::span<const std::uint8_t> head) noexcept
{
    using namespace std::string_view_literals;
    if (startsWith(head, 0, "BM"sv)) return PictureFormat::Bmp;
    if (startsWith(head, 0, "\x89PNG\r\n\x1A\n"sv)) return PictureFormat::Png;
    if (startsWith(head, 0, "\xFF\xD8\xFF"sv)) return PictureFormat::Jpeg;
    if (startsWith(head, 0, "II*\0"sv) || startsWith(head, 0, "MM\0*"sv)) return PictureFormat::Tiff;
    if (startsWith(head, 0, "RIFF"sv) && startsWith(head, 8, "WEBP"sv)) return PictureFormat::Webp;
    if (startsWith(head, 0, "GIF87a"sv) || startsWith(head, 0, "GIF89a"sv)) return PictureFormat::Gif;
    return std::nullopt;
}

} // namespace plexor

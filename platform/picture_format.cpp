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

bool StartsWith(std::span<const std::uint8_t> head, std::size_t at, std::string_view bytes) noexcept
{
    return head.size() >= at + bytes.size() && std::memcmp(head.data() + at, bytes.data(), bytes.size()) == 0;
}

bool EqualWithoutCase(std::string_view a, std::string_view b) noexcept
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::string_view PictureFormatName(PictureFormat format) noexcept
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

std::span<const std::string_view> PictureFormatExtensions(PictureFormat format) noexcept
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

std::optional<PictureFormat> PictureFormatOfExtension(std::string_view extension) noexcept
{
    for (const PictureFormat format : kPictureFormats)
        for (const std::string_view known : PictureFormatExtensions(format))
            if (EqualWithoutCase(extension, known)) return format;
    return std::nullopt;
}

std::optional<PictureFormat> PictureFormatOfContent(std::span<const std::uint8_t> head) noexcept
{
    using namespace std::string_view_literals;
    if (StartsWith(head, 0, "BM"sv)) return PictureFormat::Bmp;
    if (StartsWith(head, 0, "\x89PNG\r\n\x1A\n"sv)) return PictureFormat::Png;
    if (StartsWith(head, 0, "\xFF\xD8\xFF"sv)) return PictureFormat::Jpeg;
    if (StartsWith(head, 0, "II*\0"sv) || StartsWith(head, 0, "MM\0*"sv)) return PictureFormat::Tiff;
    if (StartsWith(head, 0, "RIFF"sv) && StartsWith(head, 8, "WEBP"sv)) return PictureFormat::Webp;
    if (StartsWith(head, 0, "GIF87a"sv) || StartsWith(head, 0, "GIF89a"sv)) return PictureFormat::Gif;
    return std::nullopt;
}

} // namespace plexor

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
constexpr std::string_view kHeic[] = {"heic", "heif", "hif"};
constexpr std::string_view kAvif[] = {"avif"};

// The brands of the file-type box that announce a still picture coded as
// HEVC, and as AV1. A file whose main brand is only the general image
// brand names its coding among its compatible brands.
constexpr std::string_view kHeicBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx"};
constexpr std::string_view kAvifBrands[] = {"avif", "avis"};
constexpr std::string_view kGeneralImageBrands[] = {"mif1", "msf1"};

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

bool isOneOf(std::span<const std::uint8_t> head, std::size_t at, std::span<const std::string_view> brands) noexcept
{
    return std::any_of(brands.begin(), brands.end(),
                       [&](std::string_view brand) { return startsWith(head, at, brand); });
}

// The format a file-type box announces: its size, "ftyp", the main brand,
// a version, then the compatible brands, four bytes each.
std::optional<PictureFormat> formatOfFileTypeBox(std::span<const std::uint8_t> head) noexcept
{
    using namespace std::string_view_literals;
    if (!startsWith(head, 4, "ftyp"sv)) return std::nullopt;
    if (isOneOf(head, 8, kAvifBrands)) return PictureFormat::Avif;
    if (isOneOf(head, 8, kHeicBrands)) return PictureFormat::Heic;
    if (!isOneOf(head, 8, kGeneralImageBrands)) return std::nullopt;
    const std::size_t boxEnd =
        std::size_t{head[0]} << 24 | std::size_t{head[1]} << 16 | std::size_t{head[2]} << 8 | head[3];
    for (std::size_t at = 16; at + 4 <= std::min(boxEnd, head.size()); at += 4)
        if (isOneOf(head, at, kAvifBrands)) return PictureFormat::Avif;
    return PictureFormat::Heic;
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
    case PictureFormat::Heic: return "HEIC";
    case PictureFormat::Avif: return "AVIF";
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
    case PictureFormat::Heic: return kHeic;
    case PictureFormat::Avif: return kAvif;
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

std::optional<std::int32_t> pictureFormatSideLimit(PictureFormat format) noexcept
{
    switch (format) {
    case PictureFormat::Webp: return 16383;
    case PictureFormat::Jpeg: return 65500;
    default: return std::nullopt;
    }
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
    return formatOfFileTypeBox(head);
}

} // namespace plexor

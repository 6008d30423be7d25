#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace plexor {

// The kinds of picture file the program reads; all but GIF it also writes
// (HEIC and AVIF where libheif has their encoders).
enum class PictureFormat { Bmp, Png, Jpeg, Tiff, Webp, Gif, Heic, Avif };

// Every format, in the order the file dialogs list them.
inline constexpr PictureFormat kPictureFormats[] = {PictureFormat::Bmp,  PictureFormat::Png,  PictureFormat::Jpeg,
                                                    PictureFormat::Tiff, PictureFormat::Webp, PictureFormat::Gif,
                                                    PictureFormat::Heic, PictureFormat::Avif};

// The name a user knows the format by: "BMP", "PNG", "JPEG", ...
std::string_view pictureFormatName(PictureFormat format) noexcept;

// The extensions its files have, in lower case without the dot; the first is
// the one given to a file this program names.
std::span<const std::string_view> pictureFormatExtensions(PictureFormat format) noexcept;

// The format whose files have `extension` (without the dot), compared without
// case; nothing for an extension of no format here.
std::optional<PictureFormat> pictureFormatOfExtension(std::string_view extension) noexcept;

// The widest and tallest picture a file of `format` holds, where that is
// less than the program opens: WebP keeps its sizes in 14 bits, and JPEG's
// coders stop a little short of 16. Nothing for the other formats.
std::optional<std::int32_t> pictureFormatSideLimit(PictureFormat format) noexcept;

// The format the first bytes of a file announce, by its signature; nothing
// when they announce none of these formats. Looks at no more than
// kPictureSignatureBytes bytes: HEIC and AVIF files name their kind in the
// brands of their first box, which the first 32 bytes hold in practice.
inline constexpr std::size_t kPictureSignatureBytes = 32;
std::optional<PictureFormat> pictureFormatOfContent(std::span<const std::uint8_t> head) noexcept;

} // namespace plexor

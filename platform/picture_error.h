#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace plexor {

// The error that loading or saving a picture raises. Its message is the text
// the application's error display shows, so every text here is user-facing.
class PictureError : public std::runtime_error {
public:
    explicit PictureError(const std::string& message) : std::runtime_error(message) {}
};

// The messages, with "%s" where a name or extension goes.
namespace picture_message {
inline constexpr std::string_view kUnknownExtension = "Unknown picture file extension (.%s)";
inline constexpr std::string_view kCannotOpen = "Cannot open file %s";
inline constexpr std::string_view kBitmapInvalid = "Bitmap image is not valid";
inline constexpr std::string_view kReadError = "Stream read error";
inline constexpr std::string_view kIconInvalid = "Icon image is not valid";
inline constexpr std::string_view kMetafileInvalid = "Metafile is not valid";
inline constexpr std::string_view kCannotCreate = "Cannot create file %s: %s";
inline constexpr std::string_view kWriteError = "Cannot write file %s: %s";
inline constexpr std::string_view kPictureUnreadable = "Cannot read the %s picture %s: %s";
inline constexpr std::string_view kFormatNotRead = "%s pictures cannot be read here";
inline constexpr std::string_view kMetadataUnreadable = "The metadata of %s cannot be read, and is left out: %s";
inline constexpr std::string_view kMetadataUnwritten = "%s is saved without its metadata: %s";
inline constexpr std::string_view kFormatNotWritten = "%s pictures cannot be written here";
inline constexpr std::string_view kPictureCut = "The file ends before the picture does";
inline constexpr std::string_view kPictureTooLarge = "The picture is too large (%s)";
inline constexpr std::string_view kTooLargeForFormat =
    "%s pictures are at most %s pixels wide and high, and this one is %s pixels";
inline constexpr std::string_view kEmptyNotWritten = "An empty picture cannot be saved as %s";
} // namespace picture_message

// Puts the arguments in place of the "%s" of `pattern`, in order; an
// argument's own text is left as it is.
inline std::string formatPictureMessage(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    std::string text;
    auto argument = arguments.begin();
    std::size_t from = 0;
    for (auto at = pattern.find("%s"); at != std::string_view::npos && argument != arguments.end();
         at = pattern.find("%s", from), ++argument) {
        text.append(pattern.substr(from, at - from)).append(*argument);
        from = at + 2;
    }
    return text.append(pattern.substr(from));
}

inline std::string formatPictureMessage(std::string_view pattern, std::string_view argument)
{
    return formatPictureMessage(pattern, {argument});
}

[[noreturn]] inline void throwBitmapInvalid()
{
    throw PictureError(std::string(picture_message::kBitmapInvalid));
}

// A picture's size as the messages give it: "640 x 480".
inline std::string pictureSizeText(std::int64_t width, std::int64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

[[noreturn]] inline void throwPictureTooLarge(std::int64_t width, std::int64_t height)
{
    throw PictureError(
        formatPictureMessage(picture_message::kPictureTooLarge, pictureSizeText(width, height) + " pixels"));
}

[[noreturn]] inline void throwReadError()
{
    throw PictureError(std::string(picture_message::kReadError));
}

} // namespace plexor

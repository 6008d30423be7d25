#pragma once

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
inline constexpr std::string_view kCannotCreate = "Cannot create file %s";
inline constexpr std::string_view kWriteError = "Stream write error";
} // namespace picture_message

// Puts `argument` in place of the first "%s" of `pattern`.
inline std::string FormatPictureMessage(std::string_view pattern, std::string_view argument)
{
    std::string text(pattern);
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

[[noreturn]] inline void ThrowBitmapInvalid()
{
    throw PictureError(std::string(picture_message::kBitmapInvalid));
}

[[noreturn]] inline void ThrowReadError()
{
    throw PictureError(std::string(picture_message::kReadError));
}

} // namespace plexor

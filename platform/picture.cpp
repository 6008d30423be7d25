#include "platform/picture.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/bmp_reader.h"
#include "platform/bmp_writer.h"
#include "platform/file_io.h"
#include "platform/picture_error.h"
#include "platform/picture_signature.h"

namespace plexor {

namespace {

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string pictureFileExtension(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return path.substr(dot + 1);
}

std::string withExtension(const std::string& path, const std::string& extension)
{
    if (path.empty()) return {};
    const std::string current = pictureFileExtension(path);
    std::string name = current.empty() ? path : path.substr(0, path.size() - current.size() - 1);
    return name + "." + extension;
}

void Picture::loadFromFile(const std::string& path)
{
    Picture loaded = fromFile(path);
    swap(loaded);
}

Picture Picture::fromFile(const std::string& path)
{
    const std::string extension = pictureFileExtension(path);
    const std::string kind = lowercase(extension);
    Picture picture;
    if (kind == "bmp") return fromBmpFile(path);
    if (kind == "ico") {
        if (!isIconSignature(readFileHead(path, kSignatureBytes).bytes()))
            throw PictureError(std::string(picture_message::kIconInvalid));
        picture.kind_ = Kind::Icon;
        return picture;
    }
    if (kind == "wmf" || kind == "emf") {
        const ByteBuffer head = readFileHead(path, kSignatureBytes);
        const bool valid =
            kind == "wmf" ? isMetafileSignature(head.bytes()) : isEnhancedMetafileSignature(head.bytes());
        if (!valid) throw PictureError(std::string(picture_message::kMetafileInvalid));
        picture.kind_ = Kind::Metafile;
        return picture;
    }
    throw PictureError(formatPictureMessage(picture_message::kUnknownExtension, extension));
}

Picture Picture::fromBmpFile(const std::string& path)
{
    return fromBitmap(readBmp(readWholeFile(path, kMaxPictureFileBytes)));
}

Picture Picture::fromBitmap(Bitmap bitmap)
{
    Picture picture;
    picture.bitmap_ = std::move(bitmap);
    return picture;
}

Bitmap& Picture::bitmap()
{
    if (kind_ != Kind::Bitmap) {
        kind_ = Kind::Bitmap;
        bitmap_ = Bitmap();
    }
    return bitmap_;
}

void Picture::saveToFile(const std::string& path) const
{
    writeFileAtomically(path, encodeBmp(bitmap_));
}

void Picture::swap(Picture& other) noexcept
{
    std::swap(kind_, other.kind_);
    std::swap(bitmap_, other.bitmap_);
}

} // namespace plexor

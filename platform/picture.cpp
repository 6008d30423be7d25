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

std::string Lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string PictureFileExtension(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return path.substr(dot + 1);
}

std::string WithExtension(const std::string& path, const std::string& extension)
{
    if (path.empty()) return {};
    const std::string current = PictureFileExtension(path);
    std::string name = current.empty() ? path : path.substr(0, path.size() - current.size() - 1);
    return name + "." + extension;
}

void TPicture::LoadFromFile(const std::string& path)
{
    TPicture loaded = FromFile(path);
    swap(loaded);
}

TPicture TPicture::FromFile(const std::string& path)
{
    const std::string extension = PictureFileExtension(path);
    const std::string kind = Lowercase(extension);
    TPicture picture;
    if (kind == "bmp") return FromBmpFile(path);
    if (kind == "ico") {
        if (!IsIconSignature(ReadFileHead(path, kSignatureBytes).bytes()))
            throw PictureError(std::string(picture_message::kIconInvalid));
        picture.kind_ = Kind::Icon;
        return picture;
    }
    if (kind == "wmf" || kind == "emf") {
        const ByteBuffer head = ReadFileHead(path, kSignatureBytes);
        const bool valid =
            kind == "wmf" ? IsMetafileSignature(head.bytes()) : IsEnhancedMetafileSignature(head.bytes());
        if (!valid) throw PictureError(std::string(picture_message::kMetafileInvalid));
        picture.kind_ = Kind::Metafile;
        return picture;
    }
    throw PictureError(FormatPictureMessage(picture_message::kUnknownExtension, extension));
}

TPicture TPicture::FromBmpFile(const std::string& path)
{
    return FromBitmap(ReadBmp(ReadWholeFile(path, kMaxPictureFileBytes)));
}

TPicture TPicture::FromBitmap(TBitmap bitmap)
{
    TPicture picture;
    picture.bitmap_ = std::move(bitmap);
    return picture;
}

TBitmap& TPicture::Bitmap()
{
    if (kind_ != Kind::Bitmap) {
        kind_ = Kind::Bitmap;
        bitmap_ = TBitmap();
    }
    return bitmap_;
}

void TPicture::SaveToFile(const std::string& path) const
{
    WriteFileAtomically(path, EncodeBmp(bitmap_));
}

void TPicture::swap(TPicture& other) noexcept
{
    std::swap(kind_, other.kind_);
    std::swap(bitmap_, other.bitmap_);
}

} // namespace plexor

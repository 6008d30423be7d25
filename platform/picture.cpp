#include "platform/picture.h"

#include <utility>

namespace plexor {

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

Picture Picture::fromBitmap(Bitmap bitmap, ByteBuffer alpha)
{
    Picture picture;
    picture.bitmap_ = std::move(bitmap);
    picture.alpha_ = std::move(alpha);
    return picture;
}

Picture Picture::fromDeepBitmap(Bitmap bitmap, ByteBuffer alpha, ByteBuffer lowBytes, ByteBuffer alphaLow, int bitDepth)
{
    Picture picture = fromBitmap(std::move(bitmap), std::move(alpha));
    picture.lowBytes_ = std::move(lowBytes);
    picture.alphaLow_ = std::move(alphaLow);
    picture.bitDepth_ = bitDepth;
    return picture;
}

PicturePlanes Picture::planes() const noexcept
{
    return PicturePlanes{bitmap_, alpha_.bytes(), lowBytes_.bytes(), alphaLow_.bytes(), bitDepth_};
}

void Picture::swap(Picture& other) noexcept
{
    std::swap(bitmap_, other.bitmap_);
    std::swap(alpha_, other.alpha_);
    std::swap(lowBytes_, other.lowBytes_);
    std::swap(alphaLow_, other.alphaLow_);
    std::swap(bitDepth_, other.bitDepth_);
}

} // namespace plexor

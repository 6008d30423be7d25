#include "app/model_picture.h"

#include <cstring>

namespace plexor {

OpenedPicture openWidened(const std::string& path, const ImageCodec& codec)
{
    OpenedPicture opened = openPicture(path, codec);
    Bitmap& bitmap = opened.picture.bitmap();
    bitmap.setBrushColour(0);
    const std::int32_t rest = bitmap.width() % 4;
    if (rest == 0) return opened;
    const std::size_t before = static_cast<std::size_t>(bitmap.width());
    bitmap.setWidth(bitmap.width() - rest + 4);
    // The new columns of a picture with alpha are transparent.
    ByteBuffer& alpha = opened.picture.alpha();
    if (!alpha.empty()) {
        const std::size_t after = static_cast<std::size_t>(bitmap.width());
        ByteBuffer wider = ByteBuffer::zeroed(after * static_cast<std::size_t>(bitmap.height()));
        for (std::size_t y = 0; y < static_cast<std::size_t>(bitmap.height()); ++y)
            std::memcpy(wider.data() + y * after, alpha.data() + y * before, before);
        alpha = std::move(wider);
    }
    return opened;
}

DibHeader bufferFormatFor(std::int32_t width, std::int32_t height)
{
    return DibHeader::topDownRows24(width, height);
}

bool loadIntoModel(DeformModel& model, Picture& picture)
{
    const Bitmap& bitmap = picture.bitmap();
    const ByteBuffer& alpha = picture.alpha();
    if (!model.allocateBuffers(bitmap.width(), bitmap.height(), !alpha.empty())) return false;
    if (!alpha.empty())
        for (ByteBuffer* plane : {&model.sourceAlpha(), &model.workAlpha(), &model.viewAlpha()})
            std::memcpy(plane->data(), alpha.data(), alpha.size());
    const DibHeader format = bufferFormatFor(model.imageWidth(), model.imageHeight());
    if (copyRowsFromBitmap(bitmap, 0, model.imageHeight(), model.workImage().data(), format) == 0) {
        // Nothing was read: the picture starts black rather than unset.
        std::memset(model.workImage().data(), 0, model.workImage().size());
        model.showMessage("GetDIBits failed", MessageIcon::None);
    }
    model.copyPixels(model.workImage(), model.viewImage());
    model.copyPixels(model.workImage(), model.sourceImage());
    return true;
}

std::span<const std::uint8_t> alphaRows(const DeformModel& model, const ByteBuffer& alpha)
{
    if (alpha.empty()) return {};
    return alpha.bytes().first(static_cast<std::size_t>(model.imageWidth()) *
                               static_cast<std::size_t>(model.imageHeight()));
}

bool storeWorkImage(const DeformModel& model, Bitmap& bitmap)
{
    const DibHeader format = bufferFormatFor(model.imageWidth(), model.imageHeight());
    return copyRowsToBitmap(bitmap, 0, model.imageHeight(), model.workImage().data(), format) != 0;
}

} // namespace plexor

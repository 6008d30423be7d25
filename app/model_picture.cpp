#include "app/model_picture.h"

#include <cstring>
#include <utility>

#include "platform/deep_channels.h"

namespace plexor {

OpenedPicture openWidened(const std::string& path, const ImageCodec& codec)
{
    OpenedPicture opened = openPicture(path, codec);
    Picture& picture = opened.picture;
    Bitmap& bitmap = picture.bitmap();
    bitmap.setBrushColour(0);
    const std::int32_t rest = bitmap.width() % 4;
    if (rest == 0) return opened;
    const std::int32_t before = bitmap.width();
    const std::int32_t after = before - rest + 4;
    // The new columns are black, and transparent in a picture with alpha,
    // down to the low bytes of a deeper picture.
    for (const auto& [plane, bytes] :
         {std::pair{&picture.alpha(), 1}, {&picture.lowBytes(), 3}, {&picture.alphaLow(), 1}})
        if (!plane->empty()) *plane = planeWithWidth(plane->bytes(), before, bitmap.height(), bytes, after);
    bitmap.setWidth(after);
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

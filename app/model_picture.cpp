#include "app/model_picture.h"

#include <cstring>

namespace plexor {

OpenedPicture openWidened(const std::string& path, const ImageCodec& codec)
{
    OpenedPicture opened = openPicture(path, codec);
    Bitmap& bitmap = opened.picture.bitmap();
    bitmap.setBrushColour(0);
    if (const std::int32_t rest = bitmap.width() % 4; rest != 0) bitmap.setWidth(bitmap.width() - rest + 4);
    return opened;
}

DibHeader bufferFormatFor(std::int32_t width, std::int32_t height)
{
    return DibHeader::topDownRows24(width, height);
}

bool loadIntoModel(DeformModel& model, const Bitmap& bitmap)
{
    if (!model.allocateBuffers(bitmap.width(), bitmap.height())) return false;
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

bool storeWorkImage(const DeformModel& model, Bitmap& bitmap)
{
    const DibHeader format = bufferFormatFor(model.imageWidth(), model.imageHeight());
    return copyRowsToBitmap(bitmap, 0, model.imageHeight(), model.workImage().data(), format) != 0;
}

} // namespace plexor

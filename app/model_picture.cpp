#include "app/model_picture.h"

#include <cstring>

namespace plexor {

OpenedPicture OpenWidened(const std::string& path, const ImageCodec& codec)
{
    OpenedPicture opened = OpenPicture(path, codec);
    TBitmap& bitmap = opened.Picture.Bitmap();
    bitmap.SetBrushColour(0);
    if (const std::int32_t rest = bitmap.Width() % 4; rest != 0) bitmap.SetWidth(bitmap.Width() - rest + 4);
    return opened;
}

BitmapInfo BufferFormatFor(std::int32_t width, std::int32_t height)
{
    BitmapInfo format{};
    format.bmiHeader.biSize = 40;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = 0;
    return format;
}

bool LoadIntoModel(DeformModel& model, const TBitmap& bitmap)
{
    if (!model.AllocateBuffers(bitmap.Width(), bitmap.Height())) return false;
    const BitmapInfo format = BufferFormatFor(model.ImageWidth, model.ImageHeight);
    if (GetDIBits(bitmap, 0, model.ImageHeight, model.WorkImage.data(), format) == 0) {
        // Nothing was read: the picture starts black rather than unset.
        std::memset(model.WorkImage.data(), 0, model.WorkImage.size());
        model.ShowMessage("GetDIBits failed", MB_OK);
    }
    model.CopyPixels(model.WorkImage, model.ViewImage);
    model.CopyPixels(model.WorkImage, model.SourceImage);
    return true;
}

bool StoreWorkImage(const DeformModel& model, TBitmap& bitmap)
{
    const BitmapInfo format = BufferFormatFor(model.ImageWidth, model.ImageHeight);
    return SetDIBits(bitmap, 0, model.ImageHeight, model.WorkImage.data(), format) != 0;
}

} // namespace plexor

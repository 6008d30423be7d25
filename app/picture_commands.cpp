#include "app/picture_commands.h"

#include <cstring>
#include <exception>

#include "app/window_fitting.h"
#include "platform/picture_error.h"

namespace plexor {

PictureCommands::PictureCommands(DeformModel& model, FileDialogs& dialogs, WindowFrame& frame, ImageView& image,
                                 ErrorDisplay& errors)
    : model_(model), dialogs_(dialogs), frame_(frame), image_(image), errors_(errors)
{}

bool PictureCommands::MIOpenClick()
{
    const std::optional<FileDialogChoice> choice = dialogs_.RunOpenDialog(openDialog_.Request());
    if (!choice) return false;
    openDialog_.Remember(*choice);
    return OpenFile(choice->FileName);
}

bool PictureCommands::OpenFile(const std::string& path)
{
    // Read and widen the new picture apart from the one shown: until all of
    // it is in hand and the model holds its buffers, nothing changes.
    TPicture loaded;
    std::int32_t width = 0;
    std::int32_t height = 0;
    try {
        loaded = TPicture::FromFile(path);
        TBitmap& bitmap = loaded.Bitmap();
        height = bitmap.Height();
        bitmap.SetBrushColour(0);
        width = bitmap.Width();
        if (const std::int32_t rest = width % 4; rest != 0) {
            width = width - rest + 4;
            bitmap.SetWidth(width);
        }
    } catch (const std::exception& error) {
        errors_.ShowError(error.what());
        return false;
    }

    // The worker stays off the buffers until the new picture's pixels are in.
    WorkerHold hold(model_.Gate);
    if (!model_.AllocateBuffers(width, height)) return false;
    picture_.swap(loaded);
    image_.ShowBitmap(picture_.Bitmap());
    FitWindowToPicture(frame_, width, height);

    bufferFormat_ = BitmapInfo{};
    bufferFormat_.bmiHeader.biSize = 40;
    bufferFormat_.bmiHeader.biWidth = model_.ImageWidth;
    bufferFormat_.bmiHeader.biHeight = -model_.ImageHeight;
    bufferFormat_.bmiHeader.biPlanes = 1;
    bufferFormat_.bmiHeader.biBitCount = 24;
    bufferFormat_.bmiHeader.biCompression = 0;

    if (GetDIBits(picture_.Bitmap(), 0, model_.ImageHeight, model_.WorkImage.data(), bufferFormat_) == 0) {
        // Nothing was read: the picture starts black rather than unset.
        std::memset(model_.WorkImage.data(), 0, model_.WorkImage.size());
        model_.ShowMessage("GetDIBits failed", MB_OK);
    }
    model_.CopyPixels(model_.WorkImage, model_.ViewImage);
    model_.CopyPixels(model_.WorkImage, model_.SourceImage);
    return true;
}

bool PictureCommands::OpenNamedFile(const std::string& path)
{
    openDialog_.Remember(FileDialogChoice{path, openDialog_.Request().FilterIndex});
    return OpenFile(path);
}

void PictureCommands::PushView(std::span<const PixelRect> parts)
{
    if (!model_.ImageLoaded) return;
    // A picture of no pixels has no rows to take the view.
    bool failed = !parts.empty() && (model_.ImageWidth == 0 || model_.ImageHeight == 0);
    for (const PixelRect& part : parts)
        if (!part.Empty())
            failed |= SetDIBitsPart(picture_.Bitmap(), part.X0, part.Y0, part.X1, part.Y1, model_.ViewImage.data(),
                                    bufferFormat_) == 0;
    if (failed) model_.ShowMessage("SetDIBits failed", MB_OK);
}

void PictureCommands::MISaveAsClick()
{
    if (!model_.ImageLoaded) return;
    const std::optional<FileDialogChoice> choice = dialogs_.RunSaveDialog(saveDialog_.Request());
    if (!choice) return;
    saveDialog_.Remember(*choice);
    try {
        picture_.SaveToFile(choice->FileName);
    } catch (const std::exception& error) {
        errors_.ShowError(error.what());
    }
}

} // namespace plexor

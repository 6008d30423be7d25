#include "app/picture_commands.h"

#include <cstring>
#include <exception>
#include <new>

#include "app/window_fitting.h"
#include "platform/picture_error.h"

namespace plexor {

PictureCommands::PictureCommands(DeformModel& model, FileDialogs& dialogs, WindowFrame& frame, ImageView& image,
                                 ErrorDisplay& errors)
    : model_(model), dialogs_(dialogs), frame_(frame), image_(image), errors_(errors)
{}

void PictureCommands::MIOpenClick()
{
    const std::optional<FileDialogChoice> choice = dialogs_.RunOpenDialog(openDialog_.Request());
    if (!choice) return;
    openDialog_.Remember(*choice);
    OpenFile(choice->FileName);
}

bool PictureCommands::OpenFile(const std::string& path)
{
    // Read and widen the new picture apart from the one shown: until all of
    // it is in hand and its buffers are sure to fit, nothing changes.
    TPicture loaded;
    std::int32_t width = 0;
    std::int32_t height = 0;
    try {
        loaded = TPicture::FromFile(path);
        TBitmap& bitmap = loaded.Bitmap();
        width = bitmap.Width();
        height = bitmap.Height();
        bitmap.SetBrushColour(0);
        const std::int32_t rest = width % 4;
        if (rest != 0) width = width - rest + 4;
        const std::uint64_t freeable = 3 * model_.WorkImage.size() + model_.SplatMask.size();
        if (const char* shortfall = model_.BufferShortfall(width, height, freeable)) {
            model_.ShowMessage(shortfall, MB_ICONSTOP);
            return false;
        }
        if (width != bitmap.Width()) bitmap.SetWidth(width);
    } catch (const std::exception& error) {
        errors_.ShowError(error.what());
        return false;
    }

    picture_.swap(loaded);
    image_.ShowBitmap(picture_.Bitmap());
    FitWindowToPicture(frame_, width, height);

    WorkerHold hold(model_.Gate);
    // A grid laid over a picture of another size would reach outside the new
    // buffers: it goes, and the next grid command lays a new one.
    if ((width != model_.ImageWidth || height != model_.ImageHeight) && model_.GridExists()) model_.DropGrid();
    model_.ImageWidth = width;
    model_.ImageHeight = height;
    model_.WorkImage.Release();
    model_.ViewImage.Release();
    model_.SourceImage.Release();
    bool obtained = model_.AllocateBuffers();
    if (obtained) {
        model_.SplatMask.Release();
        try {
            model_.SplatMask = PixelBuffer::Obtain(static_cast<std::size_t>(model_.PixelCapacity));
            std::memset(model_.SplatMask.data(), 0, model_.SplatMask.size());
        } catch (const std::bad_alloc&) {
            model_.ShowMessage("Not enough memory for destination.", MB_ICONSTOP);
            obtained = false;
        }
    }
    if (!obtained) {
        // The system refused what it seemed to have: no picture is left to
        // work on, so the program returns to the state without one.
        model_.WorkImage.Release();
        model_.ViewImage.Release();
        model_.SourceImage.Release();
        model_.SplatMask.Release();
        model_.ImageLoaded = false;
        model_.DropGrid();
        return false;
    }
    model_.ImageLoaded = true;

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

void PictureCommands::PushView()
{
    if (!model_.ImageLoaded || model_.ViewImage.empty()) return;
    if (SetDIBits(picture_.Bitmap(), 0, model_.ImageHeight, model_.ViewImage.data(), bufferFormat_) == 0)
        model_.ShowMessage("SetDIBits failed", MB_OK);
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

#include "app/picture_commands.h"

#include <algorithm>
#include <exception>

#include "app/model_picture.h"
#include "app/picture_files.h"
#include "app/picture_filters.h"
#include "app/window_fitting.h"
#include "platform/picture_error.h"

namespace plexor {

PictureCommands::PictureCommands(DeformModel& model, FileDialogs& dialogs, WindowFrame& frame, ImageView& image,
                                 ErrorDisplay& errors, const ImageCodec& codec)
    : model_(model), dialogs_(dialogs), frame_(frame), image_(image), errors_(errors), codec_(codec),
      readable_(ReadableFormats(codec)), writable_(WritableFormats(codec)),
      openDialog_(OpenDialogFilter(readable_), "matrix.bmp", "bmp"), saveDialog_(SaveDialogFilter(writable_), "", "bmp")
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
    OpenedPicture opened;
    try {
        opened = OpenWidened(path, codec_);
    } catch (const std::exception& error) {
        errors_.ShowError(error.what());
        return false;
    }

    // The worker stays off the buffers until the new picture's pixels are in.
    WorkerHold hold(model_.Gate);
    if (!LoadIntoModel(model_, opened.Picture.Bitmap())) return false;
    picture_.swap(opened.Picture);
    bufferFormat_ = BufferFormatFor(model_.ImageWidth, model_.ImageHeight);
    openedPath_ = path;
    ProposeSave(path, opened.Format);
    image_.ShowBitmap(picture_.Bitmap());
    FitWindowToPicture(frame_, model_.ImageWidth, model_.ImageHeight);
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
    const std::size_t entry = static_cast<std::size_t>(choice->FilterIndex) - 1;
    const PictureFormat chosen = entry < writable_.size() ? writable_[entry] : PictureFormat::Bmp;
    const PictureFormat format = FormatToSave(choice->FileName, chosen, writable_);
    ProposeSave(choice->FileName, format);
    try {
        SavePicture(picture_.Bitmap(), choice->FileName, format, codec_);
    } catch (const std::exception& error) {
        errors_.ShowError(error.what());
    }
}

void PictureCommands::ProposeSave(const std::string& path, PictureFormat format)
{
    // A format read but not written is proposed as PNG, which keeps every
    // pixel too, or else as BMP.
    if (std::find(writable_.begin(), writable_.end(), format) == writable_.end()) {
        const bool png = std::find(writable_.begin(), writable_.end(), PictureFormat::Png) != writable_.end();
        format = png ? PictureFormat::Png : PictureFormat::Bmp;
    }
    // The typed extension decides the format of a save, so the name proposed
    // carries one of the format proposed.
    const std::string extension = PictureFileExtension(path);
    const std::string ownExtension(PictureFormatExtensions(format).front());
    const std::string name = PictureFormatOfExtension(extension) == format ? path : WithExtension(path, ownExtension);
    const auto entry = std::find(writable_.begin(), writable_.end(), format) - writable_.begin();
    saveDialog_.Propose(name, static_cast<int>(entry) + 1, ownExtension);
}

} // namespace plexor

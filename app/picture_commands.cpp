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
                                 ErrorDisplay& errors, WindowPorts& window, const ImageCodec& codec)
    : model_(model), dialogs_(dialogs), frame_(frame), image_(image), errors_(errors), window_(window), codec_(codec),
      readable_(readableFormats(codec)), writable_(writableFormats(codec)),
      openDialog_(openDialogFilters(readable_), "matrix.bmp", "bmp"),
      saveDialog_(saveDialogFilters(writable_), "", "bmp")
{}

bool PictureCommands::openPicture()
{
    const std::optional<FileDialogChoice> choice = dialogs_.runOpenDialog(openDialog_.request());
    if (!choice) return false;
    openDialog_.remember(*choice);
    return openFile(choice->fileName);
}

bool PictureCommands::openFile(const std::string& path)
{
    // Read and widen the new picture apart from the one shown: until all of
    // it is in hand and the model holds its buffers, nothing changes.
    OpenedPicture opened;
    try {
        opened = openWidened(path, codec_);
    } catch (const std::exception& error) {
        errors_.showError(error.what());
        return false;
    }

    // The worker stays off the buffers until the new picture's pixels are in.
    WorkerHold hold(model_.gate());
    if (!loadIntoModel(model_, opened.picture)) return false;
    opened.picture.alpha().release(); // the model holds it now
    picture_.swap(opened.picture);
    metadata_ = std::move(opened.metadata);
    if (!opened.metadataNote.empty()) window_.showNote(opened.metadataNote);
    bufferFormat_ = bufferFormatFor(model_.imageWidth(), model_.imageHeight());
    openedPath_ = path;
    proposeSave(path, opened.format);
    image_.showBitmap(picture_.bitmap(),
                      ScreenLook{metadata_.iccProfile, model_.hasAlpha() ? model_.viewAlpha().data() : nullptr});
    fitWindowToPicture(frame_, model_.imageWidth(), model_.imageHeight());
    return true;
}

bool PictureCommands::openNamedFile(const std::string& path)
{
    openDialog_.remember(FileDialogChoice{path, openDialog_.request().filterIndex});
    return openFile(path);
}

void PictureCommands::pushView(std::span<const PixelRect> parts)
{
    if (!model_.imageLoaded()) return;
    // A picture of no pixels has no rows to take the view.
    bool failed = !parts.empty() && (model_.imageWidth() == 0 || model_.imageHeight() == 0);
    for (const PixelRect& part : parts)
        if (!part.empty())
            failed |= copyPartToBitmap(picture_.bitmap(), part.x0, part.y0, part.x1, part.y1, model_.viewImage().data(),
                                       bufferFormat_) == 0;
    if (failed) model_.showMessage("SetDIBits failed", MessageIcon::None);
}

bool PictureCommands::savePictureAs()
{
    if (!model_.imageLoaded()) return false;
    const std::optional<FileDialogChoice> choice = dialogs_.runSaveDialog(saveDialog_.request());
    if (!choice) return false;
    const std::size_t entry = static_cast<std::size_t>(choice->filterIndex) - 1;
    const PictureFormat chosen = entry < writable_.size() ? writable_[entry] : PictureFormat::Bmp;
    const PictureFormat format = formatToSave(choice->fileName, chosen, writable_);
    proposeSave(choice->fileName, format);
    try {
        const std::string note = savePicture(picture_.bitmap(), alphaRows(model_, model_.viewAlpha()), metadata_,
                                             choice->fileName, format, codec_);
        if (!note.empty()) window_.showNote(note);
    } catch (const std::exception& error) {
        errors_.showError(error.what());
        return false;
    }
    return true;
}

void PictureCommands::proposeSave(const std::string& path, PictureFormat format)
{
    // A format read but not written is proposed as PNG, which keeps every
    // pixel too, or else as BMP.
    if (std::find(writable_.begin(), writable_.end(), format) == writable_.end()) {
        const bool png = std::find(writable_.begin(), writable_.end(), PictureFormat::Png) != writable_.end();
        format = png ? PictureFormat::Png : PictureFormat::Bmp;
    }
    // The typed extension decides the format of a save, so the name proposed
    // carries one of the format proposed.
    const std::string extension = pictureFileExtension(path);
    const std::string ownExtension(pictureFormatExtensions(format).front());
    const std::string name = pictureFormatOfExtension(extension) == format ? path : withExtension(path, ownExtension);
    const auto entry = std::find(writable_.begin(), writable_.end(), format) - writable_.begin();
    saveDialog_.propose(name, static_cast<int>(entry) + 1, ownExtension);
}

} // namespace plexor

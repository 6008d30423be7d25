#include "app/picture_commands.h"

#include <algorithm>
#include <exception>
#include <filesystem>

#include "app/model_picture.h"
#include "app/picture_files.h"
#include "app/picture_filters.h"
#include "app/window_fitting.h"
#include "platform/picture_error.h"

namespace plexor {

PictureCommands::PictureCommands(PictureBuffers& buffers, ControlGrid& grid, CellWork& work, const MemoryGauge& memory,
                                 const ShellPorts& ports)
    : buffers_(buffers), grid_(grid), work_(work), memory_(memory), messages_(ports.messages), dialogs_(ports.dialogs),
      frame_(ports.frame), pictureView_(ports.pictureView), errors_(ports.errors), window_(ports.window),
      codec_(ports.codec), readable_(readableFormats(codec_)), writable_(writableFormats(codec_)),
      openDialog_(openDialogFilters(readable_), "matrix.bmp", "bmp"),
      saveDialog_(saveDialogFilters(writable_), "", "bmp"), recent_(ports.settings)
{}

bool PictureCommands::openPicture()
{
    const std::optional<FileDialogChoice> choice = dialogs_.runOpenDialog(inLastFolder(openDialog_));
    if (!choice) return false;
    openDialog_.remember(*choice);
    return openFile(choice->fileName);
}

bool PictureCommands::openFile(const std::string& path)
{
    // Read and widen the new picture apart from the one shown: until all of
    // it is in hand and the buffers hold it, nothing changes.
    OpenedPicture opened;
    try {
        opened = openWidened(path, codec_);
    } catch (const std::exception& error) {
        errors_.showError(error.what());
        return false;
    }

    // The worker stays off the buffers until the new picture's pixels are in.
    WorkerHold hold(work_.gate());
    const PictureLoad load = loadPicture(buffers_, grid_, work_, opened.picture, memory_.available());
    if (load.shortfall) {
        messages_.showMessage(shortfallMessage(*load.shortfall), "Error", MessageIcon::Stop);
        return false;
    }
    if (!load.pixelsRead) messages_.showMessage("GetDIBits failed", "Error", MessageIcon::None);
    picture_.swap(opened.picture);
    metadata_ = std::move(opened.metadata);
    if (!opened.metadataNote.empty()) window_.showNote(opened.metadataNote);
    bufferFormat_ = bufferFormatFor(buffers_.width(), buffers_.height());
    openedPath_ = path;
    recent_.add(path);
    proposeSave(path, opened.format);
    pictureView_.showBitmap(
        picture_.bitmap(),
        ScreenLook{metadata_.iccProfile, buffers_.hasAlpha() ? buffers_.view().alpha.data() : nullptr});
    fitWindowToPicture(frame_, buffers_.width(), buffers_.height());
    return true;
}

bool PictureCommands::openNamedFile(const std::string& path)
{
    openDialog_.remember(FileDialogChoice{path, openDialog_.request().filterIndex});
    return openFile(path);
}

bool PictureCommands::openRecent(const std::string& path)
{
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) {
        recent_.remove(path);
        errors_.showError("The file " + path + " no longer exists. It has been removed from the recent pictures.");
        return false;
    }
    return openNamedFile(path);
}

void PictureCommands::pushView(std::span<const PixelRect> parts)
{
    if (!buffers_.hasPicture()) return;
    // A picture of no pixels has no rows to take the view.
    bool failed = !parts.empty() && (buffers_.width() == 0 || buffers_.height() == 0);
    for (const PixelRect& part : parts)
        if (!part.empty())
            failed |= copyPartToBitmap(picture_.bitmap(), part.x0, part.y0, part.x1, part.y1,
                                       buffers_.view().colours.data(), bufferFormat_) == 0;
    if (failed) messages_.showMessage("SetDIBits failed", "Error", MessageIcon::None);
}

bool PictureCommands::savePictureAs()
{
    if (!buffers_.hasPicture()) return false;
    const std::optional<FileDialogChoice> choice = dialogs_.runSaveDialog(inLastFolder(saveDialog_));
    if (!choice) return false;
    const std::size_t entry = static_cast<std::size_t>(choice->filterIndex) - 1;
    const PictureFormat chosen = entry < writable_.size() ? writable_[entry] : PictureFormat::Bmp;
    const PictureFormat format = formatToSave(choice->fileName, chosen, writable_);
    proposeSave(choice->fileName, format);
    try {
        const PicturePlanes shown = planesToSave(picture_.bitmap(), buffers_, buffers_.view(), picture_.bitDepth());
        const std::string note = savePicture(shown, metadata_, choice->fileName, format, codec_);
        if (!note.empty()) window_.showNote(note);
    } catch (const std::exception& error) {
        errors_.showError(error.what());
        return false;
    }
    recent_.add(choice->fileName);
    return true;
}

void PictureCommands::proposeSave(const std::string& path, PictureFormat format)
{
    format = formatToPropose(format, writable_);
    // The typed extension decides the format of a save, so the name proposed
    // carries one of the format proposed.
    const std::string extension = pictureFileExtension(path);
    const std::string ownExtension(pictureFormatExtensions(format).front());
    const std::string name = pictureFormatOfExtension(extension) == format ? path : withExtension(path, ownExtension);
    const auto entry = std::find(writable_.begin(), writable_.end(), format) - writable_.begin();
    saveDialog_.propose(name, static_cast<int>(entry) + 1, ownExtension);
}

FileDialogRequest PictureCommands::inLastFolder(const RememberedDialog& dialog) const
{
    FileDialogRequest request = dialog.request();
    const std::string& folder = recent_.lastFolder();
    std::error_code ignored;
    if (folder.empty() || !std::filesystem::is_directory(folder, ignored)) return request;
    request.fileName = (std::filesystem::path(folder) / std::filesystem::path(request.fileName).filename()).string();
    return request;
}

} // namespace plexor

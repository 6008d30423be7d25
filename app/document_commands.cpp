#include "app/document_commands.h"

#include <filesystem>

namespace plexor {

void DocumentCommands::leaveThePicture()
{
    // The grid a drag holds may go with the picture it was laid over.
    mouse_.endDrag();
    live_.drop();
}

void DocumentCommands::openPicture()
{
    mouse_.endDrag();
    if (!askAboutUnsavedChanges()) return;
    leaveThePicture();
    if (pictures_.openPicture()) pictureOpened();
}

bool DocumentCommands::openFile(const std::string& path)
{
    leaveThePicture();
    if (!pictures_.openNamedFile(path)) return false;
    pictureOpened();
    return true;
}

bool DocumentCommands::openRecent(const std::string& path)
{
    mouse_.endDrag();
    if (!askAboutUnsavedChanges()) return false;
    leaveThePicture();
    if (!pictures_.openRecent(path)) return false;
    pictureOpened();
    return true;
}

bool DocumentCommands::savePictureAs()
{
    live_.drop();
    view_.refresh();
    history_.settle();
    if (!pictures_.savePictureAs()) return false;
    history_.markSaved();
    return true;
}

std::string DocumentCommands::documentName() const
{
    return std::filesystem::path(pictures_.openedPath()).filename().string();
}

bool DocumentCommands::askAboutUnsavedChanges()
{
    if (!buffers_.hasPicture() || !modified()) return true;
    switch (window_.askToSaveChanges(documentName())) {
    case SaveChoice::Save: return savePictureAs();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    }
    return false;
}

DropKind DocumentCommands::dropKind(std::span<const std::string> paths) const
{
    return dropKindOf(paths, pictures_.readable(), buffers_.hasPicture());
}

void DocumentCommands::drop(std::span<const std::string> paths)
{
    switch (dropKind(paths)) {
    case DropKind::Picture:
        if (askAboutUnsavedChanges()) openFile(paths.front());
        break;
    case DropKind::Grid: grid_.openGridFile(paths.front()); break;
    case DropKind::Refused: break;
    }
}

void DocumentCommands::pictureOpened()
{
    history_.startAfresh();
    grid_.pictureOpened(pictures_.openedPath());
    view_.zoomForNewPicture();
}

} // namespace plexor

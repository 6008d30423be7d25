#include "app/main_commands.h"

#include <cctype>
#include <filesystem>

namespace plexor {

const char* const MainCommands::kAboutText = "Plexor machine\n"
                                             "\n"
                                             "Deforms a picture by hand: lay a grid of control points over it\n"
                                             "and drag them; the picture follows a smooth cubic B-spline\n"
                                             "of the points.\n"
                                             "\n"
                                             "Written by the Plexor team.";

MainCommands::MainCommands(ShellPorts ports)
    : ports_(std::move(ports)), worker_(model_), pictures_(model_, ports_.dialogs, ports_.frame, ports_.pictureView,
                                                           ports_.errors, ports_.window, ports_.codec, ports_.settings),
      view_(model_, ports_.pictureView, ports_.window, pictures_), drag_(model_, *this),
      history_(model_, worker_, view_, drag_),
      grid_(model_, ports_.errors, ports_.dialogs, ports_.gridDialog, worker_, view_, history_, drag_),
      mouse_(model_, worker_, view_, history_, drag_, ports_.window), selection_(model_, view_, history_, drag_, *this)
{
    model_.setMessageSink(&ports_.messages);
}

MainCommands::~MainCommands()
{
    shutDown();
}

void MainCommands::start()
{
    worker_.start([this] { view_.refresh(); }, ports_.callWaiting);
}

void MainCommands::shutDown()
{
    if (!worker_.running()) return;
    worker_.stop();
    model_.releaseAll();
}

void MainCommands::openPicture()
{
    if (!askAboutUnsavedChanges()) return;
    if (pictures_.openPicture()) pictureOpened();
}

bool MainCommands::savePictureAs()
{
    history_.settle();
    if (!pictures_.savePictureAs()) return false;
    history_.markSaved();
    return true;
}

std::string MainCommands::documentName() const
{
    return std::filesystem::path(pictures_.openedPath()).filename().string();
}

bool MainCommands::askAboutUnsavedChanges()
{
    if (!model_.imageLoaded() || !modified()) return true;
    switch (ports_.window.askToSaveChanges(documentName())) {
    case SaveChoice::Save: return savePictureAs();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    }
    return false;
}

bool MainCommands::openFile(const std::string& path)
{
    if (!pictures_.openNamedFile(path)) return false;
    pictureOpened();
    return true;
}

bool MainCommands::openRecent(const std::string& path)
{
    if (!askAboutUnsavedChanges()) return false;
    if (!pictures_.openRecent(path)) return false;
    pictureOpened();
    return true;
}

DropKind MainCommands::dropKind(std::span<const std::string> paths) const
{
    return dropKindOf(paths, pictures_.readable(), model_.imageLoaded());
}

void MainCommands::drop(std::span<const std::string> paths)
{
    switch (dropKind(paths)) {
    case DropKind::Picture:
        if (askAboutUnsavedChanges()) openFile(paths.front());
        break;
    case DropKind::Grid: grid_.openGridFile(paths.front()); break;
    case DropKind::Refused: break;
    }
}

void MainCommands::pictureOpened()
{
    history_.startAfresh();
    grid_.pictureOpened(pictures_.openedPath());
    view_.zoomForNewPicture();
}

void MainCommands::keyTyped(char32_t key)
{
    if (key < 128 && std::toupper(static_cast<int>(key)) == 'G') grid_.layNewGrid();
}

void MainCommands::showAbout()
{
    ports_.window.showInformation(kAboutText);
}

void MainCommands::queueCellsAround(std::int32_t c, std::int32_t r)
{
    if (!worker_.running()) return;
    WorkerHold hold(model_.gate());
    history_.keepBeforeCellsAround(c, r);
    worker_.queueCellsAround(c, r);
}

void MainCommands::queueCells(std::span<const CellRef> cells)
{
    if (!worker_.running()) return;
    WorkerHold hold(model_.gate());
    history_.keepBeforeCells(cells);
    worker_.queueBatch(cells);
}

} // namespace plexor

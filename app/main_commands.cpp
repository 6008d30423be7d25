#include "app/main_commands.h"

#include <cctype>

#include "app/grid_step.h"
#include "editor/refresh.h"

namespace plexor {
namespace {

constexpr const char* kGridFilter = "Grid files (*.grid)|*.grid";

} // namespace

const char* const MainCommands::kAboutText = "Plexor machine\n"
                                             "\n"
                                             "Deforms a picture by hand: lay a grid of control points over it\n"
                                             "and drag them; the picture follows a smooth cubic B-spline\n"
                                             "of the points.\n"
                                             "\n"
                                             "Written by the Plexor team.";

MainCommands::MainCommands(ShellPorts ports)
    : ports_(std::move(ports)),
      pictures_(model_, ports_.dialogs, ports_.frame, ports_.image, ports_.errors, ports_.codec), drag_(model_, *this),
      openGridDialog_(kGridFilter + std::string("|All files (*.*)|*.*"), "", "grid"),
      saveGridDialog_(kGridFilter, "", "grid")
{
    model_.messages = &ports_.messages;
}

MainCommands::~MainCommands()
{
    shutDown();
}

void MainCommands::start()
{
    if (worker_) return;
    worker_ = std::make_unique<CellWorker>(model_, [this] { refresh(); });
    worker_->setCallWaitingHook(ports_.callWaiting);
}

void MainCommands::shutDown()
{
    if (!worker_) return;
    {
        WorkerHold hold(model_.gate);
        model_.cellQueue.clear(model_.cellQueued);
    }
    worker_->stop(); // still runs the refreshes the worker asks for meanwhile
    worker_.reset();
    model_.releaseAll();
}

void MainCommands::openPicture()
{
    if (pictures_.openPicture()) pictureOpened();
}

bool MainCommands::openFile(const std::string& path)
{
    if (!pictures_.openNamedFile(path)) return false;
    pictureOpened();
    return true;
}

void MainCommands::pictureOpened()
{
    // A new picture starts a new history.
    open_.reset();
    history_.clear();
    saveGridDialog_.propose(withExtension(pictures_.openedPath(), "grid"), 1, "grid");
    zoomForNewPicture();
}

void MainCommands::savePictureAs()
{
    pictures_.savePictureAs();
}

void MainCommands::toggleGridShown()
{
    showChecked_ = !showChecked_;
    ports_.window.setShowChecked(showChecked_);
    if (model_.imageLoaded && model_.gridExists()) {
        model_.changes.markAll();
        refresh();
    }
}

void MainCommands::showAbout()
{
    ports_.window.showInformation(kAboutText);
}

void MainCommands::layNewGrid()
{
    // The grid about to be replaced may be under a drag: end it first.
    if (drag_.dragging()) drag_.endDrag();

    ports_.gridDialog.setEditText(std::to_string(model_.gridStepX));
    ports_.gridDialog.showModal(); // however it was closed, the command goes on
    const std::string text = ports_.gridDialog.editText();
    std::string error;
    const std::optional<std::int32_t> step = parseGridStep(text, error);
    if (!step) {
        ports_.errors.showError(error);
        return;
    }
    const GridGeometry grid = gridGeometryFor(model_.imageWidth, model_.imageHeight, *step, *step);
    if (model_.availableMemory && gridBytes(grid) > model_.availableMemory()) {
        ports_.errors.showError("'" + text + "' is too large a grid step: its tables do not fit in memory");
        return;
    }

    // The grid laid now is an edit: the grid before and the picture before
    // are kept to take it back.
    beginEdit();
    std::optional<EditStep> edit = startWholeEdit("Grid");

    // The worker stays off the grid, the tables and the queue until all of
    // them belong to the new step.
    WorkerHold hold(model_.gate);
    model_.gridStepX = *step;
    model_.gridStepY = model_.gridStepX;
    showChecked_ = true;
    ports_.window.setShowChecked(true);
    model_.copyPixels(model_.sourceImage, model_.workImage);
    model_.buildGrid();
    model_.blackOutMargins();
    refresh();
    model_.buildWeightTables();
    finishWholeEdit(std::move(edit));
}

void MainCommands::resetGrid()
{
    if (!model_.gridExists()) return;
    beginEdit();
    std::optional<EditStep> edit = startWholeEdit("Reset");
    model_.resetGrid();
    refresh();
    finishWholeEdit(std::move(edit));
}

void MainCommands::keyTyped(char32_t key)
{
    if (key < 128 && std::toupper(static_cast<int>(key)) == 'G') layNewGrid();
}

void MainCommands::zoomIn()
{
    setZoom(nextZoomIn(zoom_), ports_.image.viewportWidth() / 2, ports_.image.viewportHeight() / 2);
}

void MainCommands::zoomOut()
{
    setZoom(nextZoomOut(zoom_), ports_.image.viewportWidth() / 2, ports_.image.viewportHeight() / 2);
}

void MainCommands::fitToWindow()
{
    setZoom(fitZoom(model_.imageWidth, model_.imageHeight, ports_.image.viewportWidth(), ports_.image.viewportHeight()),
            0, 0);
}

void MainCommands::showActualSize()
{
    setZoom(Zoom::actual(), ports_.image.viewportWidth() / 2, ports_.image.viewportHeight() / 2);
}

void MainCommands::wheelZoom(int steps, std::int32_t x, std::int32_t y)
{
    Zoom zoom = zoom_;
    for (; steps > 0; --steps) zoom = nextZoomIn(zoom);
    for (; steps < 0; ++steps) zoom = nextZoomOut(zoom);
    setZoom(zoom, x, y);
}

void MainCommands::zoomForNewPicture()
{
    const bool larger =
        model_.imageWidth > ports_.image.viewportWidth() || model_.imageHeight > ports_.image.viewportHeight();
    zoom_ = Zoom::actual(); // a new picture starts at the top-left corner
    ports_.image.scrollTo(0, 0);
    if (larger)
        fitToWindow();
    else
        setZoom(Zoom::actual(), 0, 0);
}

void MainCommands::setZoom(Zoom zoom, std::int32_t anchorX, std::int32_t anchorY)
{
    const PixelRect visible = ports_.image.visible();
    const std::int64_t scrollX = scrollKeeping(visible.x0, anchorX, zoom_, zoom);
    const std::int64_t scrollY = scrollKeeping(visible.y0, anchorY, zoom_, zoom);
    zoom_ = zoom;
    drag_.setZoom(zoom);
    ports_.image.setZoom(zoom, reducedShown());
    ports_.image.scrollTo(scrollX, scrollY);
    ports_.window.showZoom("Zoom " + std::to_string(zoom.percent()) + "%");
    renderReduced();
    ports_.image.repaintNow(ports_.image.visible());
}

void MainCommands::viewportChanged()
{
    if (!zoom_.reduces()) return;
    const PixelRect visible = ports_.image.visible();
    if (visible == reduced_.window()) return;
    renderReduced();
    ports_.image.repaintNow(visible);
}

void MainCommands::renderReduced()
{
    if (!zoom_.reduces() || !model_.imageLoaded) return;
    reduced_.setWindow(zoom_, ports_.image.visible(), model_.imageWidth, model_.imageHeight);
    WorkerHold hold(model_.gate);
    reduced_.render(model_, showChecked_);
}

void MainCommands::repaintImage(std::span<const PixelRect> parts)
{
    for (const PixelRect& part : parts) {
        const PixelRect screen = zoom_.reduces() ? reduced_.screenRectOf(part)
                                                 : PixelRect{static_cast<std::int32_t>(zoom_.toScreen(part.x0)),
                                                             static_cast<std::int32_t>(zoom_.toScreen(part.y0)),
                                                             static_cast<std::int32_t>(zoom_.toScreen(part.x1)),
                                                             static_cast<std::int32_t>(zoom_.toScreen(part.y1))};
        ports_.image.repaintNow(screen);
    }
}

std::optional<std::string> MainCommands::progressText(std::chrono::steady_clock::time_point now)
{
    if (!worker_ || worker_->idle()) {
        busySince_.reset();
        return std::nullopt;
    }
    if (!busySince_) busySince_ = now;
    if (now - *busySince_ < std::chrono::milliseconds(500)) return std::nullopt;
    const std::size_t cells = model_.cellQueue.cellsWaiting();
    return std::to_string(cells) + (cells == 1 ? " cell left" : " cells left");
}

void MainCommands::mousePress(std::int32_t x, std::int32_t y)
{
    // A drag is an edit: the edits before it finish first. A second button
    // ends the drag under way, as a release does.
    if (drag_.dragging()) drag_.endDrag();
    if (model_.imageLoaded && model_.gridExists()) {
        waitForWorker();
        closeEdit();
    }
    drag_.mousePress(x, y);
    if (drag_.dragging()) startDragEdit();
}

void MainCommands::mouseMove(std::int32_t x, std::int32_t y)
{
    drag_.mouseMove(x, y);
}

void MainCommands::mouseRelease(std::int32_t x, std::int32_t y)
{
    drag_.mouseRelease(x, y);
}

void MainCommands::serveWorkerCalls()
{
    if (worker_) worker_->servePendingCall();
}

void MainCommands::refresh()
{
    ::plexor::refresh(model_, *this);
}

void MainCommands::queueCellsAround(std::int32_t c, std::int32_t r)
{
    if (!worker_) return;
    WorkerHold hold(model_.gate);
    if (open_) keepBeforeCellsAround(c, r);
    ::plexor::queueCellsAround(model_, *worker_, c, r);
}

} // namespace plexor

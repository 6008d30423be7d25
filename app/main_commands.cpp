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
      pictures_(model_, ports_.Dialogs, ports_.Frame, ports_.Image, ports_.Errors, ports_.Codec), drag_(model_, *this),
      openGridDialog_(kGridFilter + std::string("|All files (*.*)|*.*"), "", "grid"),
      saveGridDialog_(kGridFilter, "", "grid")
{
    model_.Messages = &ports_.Messages;
}

MainCommands::~MainCommands()
{
    FormDestroy();
}

void MainCommands::FormCreate()
{
    if (worker_) return;
    worker_ = std::make_unique<TMyThread>(model_, [this] { Refresh(); });
    worker_->SetCallWaitingHook(ports_.CallWaiting);
}

void MainCommands::FormDestroy()
{
    if (!worker_) return;
    {
        WorkerHold hold(model_.Gate);
        model_.CellQueue.Clear(model_.CellQueued);
    }
    worker_->Stop(); // still runs the refreshes the worker asks for meanwhile
    worker_.reset();
    model_.ReleaseAll();
}

void MainCommands::MIOpenClick()
{
    if (pictures_.MIOpenClick()) PictureOpened();
}

bool MainCommands::OpenFile(const std::string& path)
{
    if (!pictures_.OpenNamedFile(path)) return false;
    PictureOpened();
    return true;
}

void MainCommands::PictureOpened()
{
    // A new picture starts a new history.
    open_.reset();
    history_.Clear();
    saveGridDialog_.Propose(WithExtension(pictures_.OpenedPath(), "grid"), 1, "grid");
    ZoomForNewPicture();
}

void MainCommands::MISaveAsClick()
{
    pictures_.MISaveAsClick();
}

void MainCommands::MIShowClick()
{
    showChecked_ = !showChecked_;
    ports_.Window.SetShowChecked(showChecked_);
    if (model_.ImageLoaded && model_.GridExists()) {
        model_.Changes.MarkAll();
        Refresh();
    }
}

void MainCommands::MIAboutClick()
{
    ports_.Window.ShowInformation(kAboutText);
}

void MainCommands::SBGridClick()
{
    // The grid about to be replaced may be under a drag: end it first.
    if (drag_.Dragging()) drag_.EndDrag();

    ports_.GridDialog.SetEditText(std::to_string(model_.GridStepX));
    ports_.GridDialog.ShowModal(); // however it was closed, the command goes on
    const std::string text = ports_.GridDialog.EditText();
    std::string error;
    const std::optional<std::int32_t> step = ParseGridStep(text, error);
    if (!step) {
        ports_.Errors.ShowError(error);
        return;
    }
    const GridGeometry grid = GridGeometryFor(model_.ImageWidth, model_.ImageHeight, *step, *step);
    if (model_.AvailableMemory && GridBytes(grid) > model_.AvailableMemory()) {
        ports_.Errors.ShowError("'" + text + "' is too large a grid step: its tables do not fit in memory");
        return;
    }

    // The grid laid now is an edit: the grid before and the picture before
    // are kept to take it back.
    BeginEdit();
    std::optional<EditStep> edit = StartWholeEdit("Grid");

    // The worker stays off the grid, the tables and the queue until all of
    // them belong to the new step.
    WorkerHold hold(model_.Gate);
    model_.GridStepX = *step;
    model_.GridStepY = model_.GridStepX;
    showChecked_ = true;
    ports_.Window.SetShowChecked(true);
    model_.CopyPixels(model_.SourceImage, model_.WorkImage);
    model_.BuildGrid();
    model_.BlackOutMargins();
    Refresh();
    model_.BuildWeightTables();
    FinishWholeEdit(std::move(edit));
}

void MainCommands::SBDefaultClick()
{
    if (!model_.GridExists()) return;
    BeginEdit();
    std::optional<EditStep> edit = StartWholeEdit("Reset");
    model_.ResetGrid();
    Refresh();
    FinishWholeEdit(std::move(edit));
}

void MainCommands::FormKeyPress(char32_t key)
{
    if (key < 128 && std::toupper(static_cast<int>(key)) == 'G') SBGridClick();
}

void MainCommands::MIZoomInClick()
{
    SetZoom(NextZoomIn(zoom_), ports_.Image.ViewportWidth() / 2, ports_.Image.ViewportHeight() / 2);
}

void MainCommands::MIZoomOutClick()
{
    SetZoom(NextZoomOut(zoom_), ports_.Image.ViewportWidth() / 2, ports_.Image.ViewportHeight() / 2);
}

void MainCommands::MIFitClick()
{
    SetZoom(FitZoom(model_.ImageWidth, model_.ImageHeight, ports_.Image.ViewportWidth(), ports_.Image.ViewportHeight()),
            0, 0);
}

void MainCommands::MIActualSizeClick()
{
    SetZoom(Zoom::Actual(), ports_.Image.ViewportWidth() / 2, ports_.Image.ViewportHeight() / 2);
}

void MainCommands::WheelZoom(int steps, std::int32_t x, std::int32_t y)
{
    Zoom zoom = zoom_;
    for (; steps > 0; --steps) zoom = NextZoomIn(zoom);
    for (; steps < 0; ++steps) zoom = NextZoomOut(zoom);
    SetZoom(zoom, x, y);
}

void MainCommands::ZoomForNewPicture()
{
    const bool larger =
        model_.ImageWidth > ports_.Image.ViewportWidth() || model_.ImageHeight > ports_.Image.ViewportHeight();
    zoom_ = Zoom::Actual(); // a new picture starts at the top-left corner
    ports_.Image.ScrollTo(0, 0);
    if (larger)
        MIFitClick();
    else
        SetZoom(Zoom::Actual(), 0, 0);
}

void MainCommands::SetZoom(Zoom zoom, std::int32_t anchorX, std::int32_t anchorY)
{
    const PixelRect visible = ports_.Image.Visible();
    const std::int64_t scrollX = ScrollKeeping(visible.X0, anchorX, zoom_, zoom);
    const std::int64_t scrollY = ScrollKeeping(visible.Y0, anchorY, zoom_, zoom);
    zoom_ = zoom;
    drag_.SetZoom(zoom);
    ports_.Image.SetZoom(zoom, ReducedShown());
    ports_.Image.ScrollTo(scrollX, scrollY);
    ports_.Window.ShowZoom("Zoom " + std::to_string(zoom.Percent()) + "%");
    RenderReduced();
    ports_.Image.Repaint(ports_.Image.Visible());
}

void MainCommands::ViewportChanged()
{
    if (!zoom_.Reduces()) return;
    const PixelRect visible = ports_.Image.Visible();
    if (visible == reduced_.Window()) return;
    RenderReduced();
    ports_.Image.Repaint(visible);
}

void MainCommands::RenderReduced()
{
    if (!zoom_.Reduces() || !model_.ImageLoaded) return;
    reduced_.SetWindow(zoom_, ports_.Image.Visible(), model_.ImageWidth, model_.ImageHeight);
    WorkerHold hold(model_.Gate);
    reduced_.Render(model_, showChecked_);
}

void MainCommands::RepaintImage(std::span<const PixelRect> parts)
{
    for (const PixelRect& part : parts) {
        const PixelRect screen = zoom_.Reduces() ? reduced_.ScreenRectOf(part)
                                                 : PixelRect{static_cast<std::int32_t>(zoom_.ToScreen(part.X0)),
                                                             static_cast<std::int32_t>(zoom_.ToScreen(part.Y0)),
                                                             static_cast<std::int32_t>(zoom_.ToScreen(part.X1)),
                                                             static_cast<std::int32_t>(zoom_.ToScreen(part.Y1))};
        ports_.Image.Repaint(screen);
    }
}

std::optional<std::string> MainCommands::ProgressText(std::chrono::steady_clock::time_point now)
{
    if (!worker_ || worker_->Idle()) {
        busySince_.reset();
        return std::nullopt;
    }
    if (!busySince_) busySince_ = now;
    if (now - *busySince_ < std::chrono::milliseconds(500)) return std::nullopt;
    const std::size_t cells = model_.CellQueue.CellsWaiting();
    return std::to_string(cells) + (cells == 1 ? " cell left" : " cells left");
}

void MainCommands::ImageMouseDown(std::int32_t x, std::int32_t y)
{
    // A drag is an edit: the edits before it finish first. A second button
    // ends the drag under way, as a release does.
    if (drag_.Dragging()) drag_.EndDrag();
    if (model_.ImageLoaded && model_.GridExists()) {
        WaitForWorker();
        CloseEdit();
    }
    drag_.ImageMouseDown(x, y);
    if (drag_.Dragging()) StartDragEdit();
}

void MainCommands::ImageMouseMove(std::int32_t x, std::int32_t y)
{
    drag_.ImageMouseMove(x, y);
}

void MainCommands::ImageMouseUp(std::int32_t x, std::int32_t y)
{
    drag_.ImageMouseUp(x, y);
}

void MainCommands::ServeWorkerCalls()
{
    if (worker_) worker_->ServePendingCall();
}

void MainCommands::Refresh()
{
    ::plexor::Refresh(model_, *this);
}

void MainCommands::QueueCellsAround(std::int32_t c, std::int32_t r)
{
    if (!worker_) return;
    WorkerHold hold(model_.Gate);
    if (open_) KeepBeforeCellsAround(c, r);
    ::plexor::QueueCellsAround(model_, *worker_, c, r);
}

} // namespace plexor

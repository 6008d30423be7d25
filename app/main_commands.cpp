#include "app/main_commands.h"

#include <cctype>

#include "app/grid_step.h"
#include "editor/refresh.h"

namespace plexor {
const char* const MainCommands::kAboutText = "Plexor machine\n"
                                             "\n"
                                             "Deforms a picture by hand: lay a grid of control points over it\n"
                                             "and drag them; the picture follows a smooth cubic B-spline\n"
                                             "of the points.\n"
                                             "\n"
                                             "Written by the Plexor team.";

MainCommands::MainCommands(ShellPorts ports)
    : ports_(std::move(ports)),
      pictures_(model_, ports_.Dialogs, ports_.Frame, ports_.Image, ports_.Errors, ports_.Codec), drag_(model_, *this)
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
    pictures_.MIOpenClick();
}

bool MainCommands::OpenFile(const std::string& path)
{
    return pictures_.OpenNamedFile(path);
}

void MainCommands::MISaveAsClick()
{
    pictures_.MISaveAsClick();
}

void MainCommands::MIShowClick()
{
    showChecked_ = !showChecked_;
    ports_.Window.SetShowChecked(showChecked_);
    if (model_.ImageLoaded && model_.GridExists()) Refresh();
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
}

void MainCommands::SBDefaultClick()
{
    if (!model_.GridExists()) return;
    model_.ResetGrid();
    Refresh();
}

void MainCommands::FormKeyPress(char32_t key)
{
    if (key < 128 && std::toupper(static_cast<int>(key)) == 'G') SBGridClick();
}

void MainCommands::ImageMouseDown(std::int32_t x, std::int32_t y)
{
    drag_.ImageMouseDown(x, y);
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
    if (worker_) ::plexor::QueueCellsAround(model_, *worker_, c, r);
}

} // namespace plexor

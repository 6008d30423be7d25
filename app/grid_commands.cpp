#include "app/grid_commands.h"

#include <exception>

#include "app/grid_files.h"
#include "app/grid_step.h"
#include "engine/cell_pool.h"
#include "engine/grid_laying.h"
#include "engine/parallel_deform.h"

namespace plexor {
namespace {

const FileFilter kGridFiles{"Grid files", {"grid"}};
const FileFilter kAllFiles{"All files", {}};

} // namespace

GridCommands::GridCommands(ControlGrid& grid, PictureBuffers& picture, CellWork& work, const MemoryGauge& memory,
                           const ShellPorts& ports, WorkerControl& worker, ViewCommands& view, HistoryCommands& history,
                           MouseCommands& mouse)
    : grid_(grid), picture_(picture), work_(work), memory_(memory), messages_(ports.messages), errors_(ports.errors),
      dialogs_(ports.dialogs), gridDialog_(ports.gridDialog), worker_(worker), view_(view), history_(history),
      mouse_(mouse), openGridDialog_({kGridFiles, kAllFiles}, "", "grid"), saveGridDialog_({kGridFiles}, "", "grid")
{}

bool GridCommands::keepOpened()
{
    const std::optional<MemoryShortfall> missing = picture_.keepOpened(memory_.available());
    if (missing) messages_.showMessage(shortfallMessage(*missing), "Error", MessageIcon::Stop);
    return !missing;
}

std::optional<std::int32_t> GridCommands::askStep()
{
    gridDialog_.setEditText(std::to_string(grid_.step()));
    gridDialog_.showModal(); // however it was closed, the command goes on
    const std::string text = gridDialog_.editText();
    std::string error;
    const std::optional<std::int32_t> step = parseGridStep(text, error);
    if (!step) {
        errors_.showError(error);
        return std::nullopt;
    }
    if (gridBytes(gridGeometryFor(picture_.width(), picture_.height(), *step)) > memory_.available()) {
        errors_.showError("'" + text + "' is too large a grid step: its tables do not fit in memory");
        return std::nullopt;
    }
    return step;
}

void GridCommands::layNewGrid()
{
    // The grid about to be replaced may be under a drag: end it first.
    mouse_.endDrag();
    const std::optional<std::int32_t> step = askStep();
    if (!step) return;

    // The grid laid now is an edit: the grid before and the picture before
    // are kept to take it back.
    history_.beginEdit();
    std::optional<GridEditStart> edit = history_.startGridEdit();
    // The worker stays off the grid, the tables and the queue until all of
    // them belong to the new step.
    WorkerHold hold(work_.gate());
    layShownGrid(*step);
    history_.finishGridEdit(GridEditKind::Grid, std::move(edit));
}

void GridCommands::layShownGrid(std::int32_t step)
{
    view_.showGrid();
    grid_.selection().clear();
    layGrid(grid_, picture_, work_, step);
    view_.refresh();
}

void GridCommands::layGridOverResult()
{
    if (!canLayGridOverResult()) return;
    mouse_.endDrag();
    // The result is whole once the worker has deformed every cell queued.
    history_.beginEdit();
    const std::optional<std::int32_t> step = askStep();
    if (!step || !keepOpened()) return;

    std::optional<GridEditStart> edit = history_.startGridEdit(true);
    {
        WorkerHold hold(work_.gate());
        std::vector<GridPass> passes = grid_.earlierPasses();
        passes.push_back(gridPassOf(grid_));
        picture_.beginPassOverResult();
        grid_.setEarlierPasses(std::move(passes));
        layShownGrid(*step);
    }
    history_.finishGridEdit(GridEditKind::PassOverResult, std::move(edit));
}

void GridCommands::resetGrid()
{
    if (!grid_.exists()) return;
    history_.beginEdit();
    std::optional<GridEditStart> edit = history_.startGridEdit();
    {
        // A batch in progress goes on afterwards with the zeroed
        // displacements; the hold only keeps its pixel writes apart from the
        // restore.
        WorkerHold hold(work_.gate());
        plexor::resetGrid(grid_, picture_, work_);
    }
    view_.refresh();
    history_.finishGridEdit(GridEditKind::Reset, std::move(edit));
}

void GridCommands::openGrid()
{
    if (!canOpenGrid()) return;
    const std::optional<std::string> path = chooseGridFile(openGridDialog_, false);
    if (path) layGridFileAt(*path);
}

void GridCommands::openGridFile(const std::string& path)
{
    if (!canOpenGrid()) return;
    mouse_.endDrag();
    openGridDialog_.remember(FileDialogChoice{path, openGridDialog_.request().filterIndex});
    layGridFileAt(path);
}

void GridCommands::layGridFileAt(const std::string& path)
{
    GridFile file;
    try {
        file = readGridFile(path);
        checkGridFileFits(file, path, picture_.width(), picture_.height(), memory_.available());
    } catch (const std::exception& error) {
        errors_.showError(error.what());
        return;
    }
    layFile(file, GridEditKind::GridFile);
}

void GridCommands::setResampling(Resampling resampling)
{
    if (!canSetResampling() || resampling == grid_.resampling()) return;
    mouse_.endDrag();
    // Every pass rendered again the new way, as a grid file of them would
    // be laid; the choice of points stays.
    GridFile file = gridFileOf(grid_, picture_.width(), picture_.height());
    file.resampling = resampling;
    layFile(file, GridEditKind::Resampling);
}

void GridCommands::layFile(const GridFile& file, GridEditKind kind)
{
    // The file is laid over the picture as read, which a grid over a result
    // has replaced as the starting picture, and its passes each over the
    // result of the one before: the starting picture changes.
    const bool changesSource = file.passes.size() > 1 || !grid_.earlierPasses().empty();
    if (changesSource && !keepOpened()) return;

    history_.beginEdit();
    std::optional<GridEditStart> edit = history_.startGridEdit(changesSource);
    if (kind == GridEditKind::GridFile) {
        view_.showGrid();
        grid_.selection().clear();
    }
    // Each pass but the last is deformed whole here, the worker idle, before
    // the next is laid over it; the last pass's batch goes to the worker. The
    // picture as read is kept already, so laying cannot fail.
    {
        WorkerHold hold(work_.gate());
        layGridFile(grid_, picture_, work_, file, memory_.available(),
                    [this](std::span<const CellRef> batch, bool last) {
                        if (!last) {
                            deformCellsInParallel(grid_.sampling(), picture_.splatTarget(), batch, {coreCount()});
                            return;
                        }
                        view_.refresh();
                        worker_.queueBatch(batch);
                    });
    }
    history_.finishGridEdit(kind, std::move(edit));
}

void GridCommands::saveGrid()
{
    if (!canSaveGrid()) return;
    const std::optional<std::string> path = chooseGridFile(saveGridDialog_, true);
    if (!path) return;
    try {
        saveGridFile(grid_, picture_.width(), picture_.height(), *path);
    } catch (const std::exception& error) {
        errors_.showError(error.what());
    }
}

void GridCommands::pictureOpened(const std::string& path)
{
    saveGridDialog_.propose(withExtension(path, "grid"), 1, "grid");
}

std::optional<std::string> GridCommands::chooseGridFile(RememberedDialog& dialog, bool save)
{
    mouse_.endDrag();
    const std::optional<FileDialogChoice> choice =
        save ? dialogs_.runSaveDialog(dialog.request()) : dialogs_.runOpenDialog(dialog.request());
    if (!choice) return std::nullopt;
    dialog.remember(*choice);
    return choice->fileName;
}

} // namespace plexor

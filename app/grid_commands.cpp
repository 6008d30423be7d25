#include "app/grid_commands.h"

#include <exception>

#include "app/grid_files.h"
#include "app/grid_step.h"
#include "editor/refresh.h"
#include "engine/pass_over_result.h"

namespace plexor {
namespace {

const FileFilter kGridFiles{"Grid files", {"grid"}};
const FileFilter kAllFiles{"All files", {}};

} // namespace

GridCommands::GridCommands(DeformModel& model, ErrorDisplay& errors, FileDialogs& dialogs, GridDialogPort& gridDialog,
                           WorkerControl& worker, ViewCommands& view, HistoryCommands& history, ControlPointDrag& drag)
    : model_(model), errors_(errors), dialogs_(dialogs), gridDialog_(gridDialog), worker_(worker), view_(view),
      history_(history), drag_(drag), openGridDialog_({kGridFiles, kAllFiles}, "", "grid"),
      saveGridDialog_({kGridFiles}, "", "grid")
{}

std::optional<std::int32_t> GridCommands::askStep()
{
    gridDialog_.setEditText(std::to_string(model_.gridStep()));
    gridDialog_.showModal(); // however it was closed, the command goes on
    const std::string text = gridDialog_.editText();
    std::string error;
    const std::optional<std::int32_t> step = parseGridStep(text, error);
    if (!step) {
        errors_.showError(error);
        return std::nullopt;
    }
    if (gridBytes(gridGeometryFor(model_.imageWidth(), model_.imageHeight(), *step)) > model_.availableMemory()) {
        errors_.showError("'" + text + "' is too large a grid step: its tables do not fit in memory");
        return std::nullopt;
    }
    return step;
}

void GridCommands::layNewGrid()
{
    // The grid about to be replaced may be under a drag: end it first.
    if (drag_.dragging()) drag_.endDrag();
    const std::optional<std::int32_t> step = askStep();
    if (!step) return;

    // The grid laid now is an edit: the grid before and the picture before
    // are kept to take it back.
    history_.beginEdit();
    std::optional<EditStep> edit = history_.startWholeEdit("Grid");
    // The worker stays off the grid, the tables and the queue until all of
    // them belong to the new step.
    WorkerHold hold(model_.gate());
    view_.showGrid();
    model_.selection().clear();
    model_.layGrid(*step);
    view_.refresh();
    history_.finishWholeEdit(std::move(edit));
}

void GridCommands::layGridOverResult()
{
    if (!canLayGridOverResult()) return;
    if (drag_.dragging()) drag_.endDrag();
    // The result is whole once the worker has deformed every cell queued.
    history_.beginEdit();
    const std::optional<std::int32_t> step = askStep();
    if (!step || !keepOpenedImage(model_)) return;

    std::optional<EditStep> edit = history_.startWholeEdit("Grid over Result", true);
    {
        WorkerHold hold(model_.gate());
        std::vector<GridPass> passes = model_.passes().list();
        passes.push_back(gridPassOf(model_));
        beginPassOverResult(model_);
        model_.passes().setList(std::move(passes));
        view_.showGrid();
        model_.selection().clear();
        model_.layGrid(*step);
        view_.refresh();
    }
    history_.finishWholeEdit(std::move(edit));
}

void GridCommands::resetGrid()
{
    if (!model_.gridExists()) return;
    history_.beginEdit();
    std::optional<EditStep> edit = history_.startWholeEdit("Reset");
    model_.resetGrid();
    view_.refresh();
    history_.finishWholeEdit(std::move(edit));
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
    if (drag_.dragging()) drag_.endDrag();
    openGridDialog_.remember(FileDialogChoice{path, openGridDialog_.request().filterIndex});
    layGridFileAt(path);
}

void GridCommands::layGridFileAt(const std::string& path)
{
    GridFile file;
    try {
        file = readGridFile(path);
        checkGridFileFits(file, path, model_.imageWidth(), model_.imageHeight(), model_.availableMemory());
    } catch (const std::exception& error) {
        errors_.showError(error.what());
        return;
    }
    // The file is laid over the picture as read, which a grid over a result
    // has replaced as the starting picture, and its passes each over the
    // result of the one before: the starting picture changes.
    const bool changesSource = file.passes.size() > 1 || !model_.passes().empty();
    if (changesSource && !keepOpenedImage(model_)) return;

    history_.beginEdit();
    std::optional<EditStep> edit = history_.startWholeEdit("Open Grid", changesSource);
    if (edit) edit->deformAfter = true;
    view_.showGrid();
    model_.selection().clear();
    // Each pass but the last deformed whole before the next is laid over it.
    layGridFile(model_, file, [this](std::span<const CellRef> batch, bool last) {
        view_.refresh();
        worker_.queueBatch(batch);
        if (!last) worker_.waitUntilIdle();
    });
    history_.finishWholeEdit(std::move(edit), changesSource);
}

void GridCommands::saveGrid()
{
    if (!canSaveGrid()) return;
    const std::optional<std::string> path = chooseGridFile(saveGridDialog_, true);
    if (!path) return;
    try {
        saveGridFile(model_, *path);
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
    if (drag_.dragging()) drag_.endDrag();
    const std::optional<FileDialogChoice> choice =
        save ? dialogs_.runSaveDialog(dialog.request()) : dialogs_.runOpenDialog(dialog.request());
    if (!choice) return std::nullopt;
    dialog.remember(*choice);
    return choice->fileName;
}

} // namespace plexor

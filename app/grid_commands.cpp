#include "app/grid_commands.h"

#include <exception>

#include "app/grid_files.h"
#include "app/grid_step.h"
#include "editor/refresh.h"

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

void GridCommands::layNewGrid()
{
    // The grid about to be replaced may be under a drag: end it first.
    if (drag_.dragging()) drag_.endDrag();

    gridDialog_.setEditText(std::to_string(model_.gridStep()));
    gridDialog_.showModal(); // however it was closed, the command goes on
    const std::string text = gridDialog_.editText();
    std::string error;
    const std::optional<std::int32_t> step = parseGridStep(text, error);
    if (!step) {
        errors_.showError(error);
        return;
    }
    if (gridBytes(gridGeometryFor(model_.imageWidth(), model_.imageHeight(), *step)) > model_.availableMemory()) {
        errors_.showError("'" + text + "' is too large a grid step: its tables do not fit in memory");
        return;
    }

    // The grid laid now is an edit: the grid before and the picture before
    // are kept to take it back.
    history_.beginEdit();
    std::optional<EditStep> edit = history_.startWholeEdit("Grid");
    // The worker stays off the grid, the tables and the queue until all of
    // them belong to the new step.
    WorkerHold hold(model_.gate());
    view_.showGrid();
    model_.layGrid(*step);
    view_.refresh();
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

    history_.beginEdit();
    std::optional<EditStep> edit = history_.startWholeEdit("Open Grid");
    if (edit) edit->deformAfter = true;
    {
        WorkerHold hold(model_.gate());
        layGridFile(model_, file);
        view_.showGrid();
        view_.refresh();
        worker_.queueDisplacedCells();
    }
    history_.finishWholeEdit(std::move(edit));
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

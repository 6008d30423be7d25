// File > Open grid... and Save grid...: a deformation kept as a grid file
// and laid again.

#include <exception>

#include "app/grid_files.h"
#include "app/main_commands.h"

namespace plexor {

void MainCommands::openGrid()
{
    if (!canOpenGrid()) return;
    const std::optional<std::string> path = chooseGridFile(openGridDialog_, false);
    if (!path) return;
    GridFile file;
    try {
        file = readGridFile(*path);
        checkGridFileFits(file, *path, model_.imageWidth, model_.imageHeight, model_.availableMemory);
    } catch (const std::exception& error) {
        ports_.errors.showError(error.what());
        return;
    }

    beginEdit();
    std::optional<EditStep> edit = startWholeEdit("Open Grid");
    if (edit) edit->deformAfter = true;
    {
        WorkerHold hold(model_.gate);
        layGridFile(model_, file);
        showChecked_ = true;
        ports_.window.setShowChecked(true);
        refresh();
        queueDisplacedCells();
    }
    finishWholeEdit(std::move(edit));
}

void MainCommands::saveGrid()
{
    if (!canSaveGrid()) return;
    const std::optional<std::string> path = chooseGridFile(saveGridDialog_, true);
    if (!path) return;
    try {
        saveGridFile(model_, *path);
    } catch (const std::exception& error) {
        ports_.errors.showError(error.what());
    }
}

std::optional<std::string> MainCommands::chooseGridFile(RememberedDialog& dialog, bool save)
{
    if (drag_.dragging()) drag_.endDrag();
    const std::optional<FileDialogChoice> choice =
        save ? ports_.dialogs.runSaveDialog(dialog.request()) : ports_.dialogs.runOpenDialog(dialog.request());
    if (!choice) return std::nullopt;
    dialog.remember(*choice);
    return choice->fileName;
}

void MainCommands::queueDisplacedCells()
{
    if (!worker_) return;
    const std::vector<CellRef> cells = displacedCells(model_);
    if (cells.empty()) return;
    model_.cellQueue.appendBatch(cells, model_.cellQueued, model_.cellCols());
    worker_->wake();
}

} // namespace plexor

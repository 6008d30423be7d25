// File > Open grid... and Save grid...: a deformation kept as a grid file
// and laid again.

#include <exception>

#include "app/grid_files.h"
#include "app/main_commands.h"

namespace plexor {

void MainCommands::MIOpenGridClick()
{
    if (!CanOpenGrid()) return;
    const std::optional<std::string> path = ChooseGridFile(openGridDialog_, false);
    if (!path) return;
    GridFile file;
    try {
        file = ReadGridFile(*path);
        CheckGridFileFits(file, *path, model_.ImageWidth, model_.ImageHeight, model_.AvailableMemory);
    } catch (const std::exception& error) {
        ports_.Errors.ShowError(error.what());
        return;
    }

    BeginEdit();
    std::optional<EditStep> edit = StartWholeEdit("Open Grid");
    if (edit) edit->DeformAfter = true;
    {
        WorkerHold hold(model_.Gate);
        LayGridFile(model_, file);
        showChecked_ = true;
        ports_.Window.SetShowChecked(true);
        Refresh();
        QueueDisplacedCells();
    }
    FinishWholeEdit(std::move(edit));
}

void MainCommands::MISaveGridClick()
{
    if (!CanSaveGrid()) return;
    const std::optional<std::string> path = ChooseGridFile(saveGridDialog_, true);
    if (!path) return;
    try {
        SaveGridFile(model_, *path);
    } catch (const std::exception& error) {
        ports_.Errors.ShowError(error.what());
    }
}

std::optional<std::string> MainCommands::ChooseGridFile(RememberedDialog& dialog, bool save)
{
    if (drag_.Dragging()) drag_.EndDrag();
    const std::optional<FileDialogChoice> choice =
        save ? ports_.Dialogs.RunSaveDialog(dialog.Request()) : ports_.Dialogs.RunOpenDialog(dialog.Request());
    if (!choice) return std::nullopt;
    dialog.Remember(*choice);
    return choice->FileName;
}

void MainCommands::QueueDisplacedCells()
{
    if (!worker_) return;
    const std::vector<TCellRef> cells = DisplacedCells(model_);
    if (cells.empty()) return;
    model_.CellQueue.AppendBatch(cells, model_.CellQueued, model_.CellCols());
    worker_->Wake();
}

} // namespace plexor

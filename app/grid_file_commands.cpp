// File > Open grid... and Save grid...: a deformation kept as a grid file
// and laid again.

#include <exception>

#include "app/grid_files.h"
#include "app/main_commands.h"

namespace plexor {

void MainCommands::MIOpenGridClick()
{
    if (!CanOpenGrid()) return;
    if (drag_.Dragging()) drag_.EndDrag();
    const std::optional<FileDialogChoice> choice = ports_.Dialogs.RunOpenDialog(openGridDialog_.Request());
    if (!choice) return;
    openGridDialog_.Remember(*choice);
    GridFile file;
    try {
        file = ReadGridFile(choice->FileName);
        CheckGridFileFits(file, choice->FileName, model_.ImageWidth, model_.ImageHeight, model_.AvailableMemory);
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
    if (drag_.Dragging()) drag_.EndDrag();
    const std::optional<FileDialogChoice> choice = ports_.Dialogs.RunSaveDialog(saveGridDialog_.Request());
    if (!choice) return;
    saveGridDialog_.Remember(*choice);
    try {
        SaveGridFile(model_, choice->FileName);
    } catch (const std::exception& error) {
        ports_.Errors.ShowError(error.what());
    }
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

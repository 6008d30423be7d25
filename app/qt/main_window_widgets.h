#pragma once

#include <array>

#include "app/recent_pictures.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;

namespace plexor {

class PictureControl;

// The main window's widgets, each owned by the window through Qt's parents.
// Their object names are their names here.
struct MainWindowWidgets {
    QFrame* toolPanel = nullptr;
    QToolButton* gridButton = nullptr;
    QToolButton* resetButton = nullptr;
    QLabel* panelPicture = nullptr;
    QScrollArea* scrollArea = nullptr;
    PictureControl* pictureView = nullptr;
    QMenu* fileMenu = nullptr;
    QAction* openAction = nullptr;
    QMenu* openRecentMenu = nullptr;
    // One item for each place of the recent pictures, hidden while empty.
    std::array<QAction*, RecentPictures::kMaxFiles> recentFileActions{};
    QAction* clearRecentAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* openGridAction = nullptr;
    QAction* saveGridAction = nullptr;
    QAction* exitAction = nullptr;
    QMenu* editMenu = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    QAction* selectAllAction = nullptr;
    QAction* selectNoneAction = nullptr;
    QMenu* gridMenu = nullptr;
    QAction* showGridAction = nullptr;
    QAction* gridOverResultAction = nullptr;
    QMenu* viewMenu = nullptr;
    QAction* zoomInAction = nullptr;
    QAction* zoomOutAction = nullptr;
    QAction* fitAction = nullptr;
    QAction* actualSizeAction = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* aboutAction = nullptr;
    QLabel* zoomLabel = nullptr;     // the zoom, in the status bar
    QLabel* progressLabel = nullptr; // the worker's cells left, in the status bar
    QLabel* pointLabel = nullptr;    // the point under the pointer, in the status bar
};

} // namespace plexor

#pragma once

#include <cstdint>
#include <span>

#include "app/picture_commands.h"
#include "app/picture_view.h"
#include "app/window_ports.h"
#include "editor/reduced_view.h"
#include "editor/zoom.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// The view of the picture: the zoom it is shown at, the reduced view that
// shows it smaller, whether the grid's overlay is drawn (Grid > Show), and
// the refresh that brings the screen up to date with what changed.
class ViewCommands final {
public:
    ViewCommands(PictureBuffers& picture, const ControlGrid& grid, CellWork& work, PictureView& pictureView,
                 WindowPorts& window, PictureCommands& pictures) noexcept
        : picture_(picture), grid_(grid), work_(work), pictureView_(pictureView), window_(window), pictures_(pictures)
    {}

    // Shows what has changed since the last refresh: the view brought up to
    // date, the parts it changed pushed into the screen bitmap and repainted
    // at once.
    void refresh();

    // Grid > Show: switches the overlay; showGrid() switches it on, as
    // every new grid does.
    void toggleGridShown();
    void showGrid();
    bool gridShown() const noexcept { return gridShown_; }

    // View menu: a step up or down the zoom ladder about the viewport's
    // middle; the zoom at which the whole picture fits the viewport; full
    // size.
    void zoomIn();
    void zoomOut();
    void fitToWindow();
    void showActualSize();
    // The wheel turned `steps` notches away from the user (negative: towards)
    // with Ctrl held and the pointer at (x, y) of the viewport: a ladder step
    // per notch, about the pointer.
    void wheelZoom(int steps, std::int32_t x, std::int32_t y);
    // The scroll box scrolled or changed its size: a reduced view follows.
    void viewportChanged();
    // After a picture is opened: fitted when it is larger than the
    // viewport, at full size otherwise, from the top-left corner.
    void zoomForNewPicture();

    Zoom currentZoom() const noexcept { return zoom_; }
    // The reduced view the screen shows while the zoom reduces the picture.
    const ReducedView* reducedShown() const noexcept { return zoom_.reduces() ? &reduced_ : nullptr; }

private:
    // Repaints the screen pixels of these parts of the picture.
    void repaintImage(std::span<const PixelRect> parts);
    // Shows the picture at `zoom`, keeping the screen position `anchorX`,
    // `anchorY` of the viewport on the same picture pixel.
    void setZoom(Zoom zoom, std::int32_t anchorX, std::int32_t anchorY);
    // The reduced view's window follows the viewport, and its pixels are
    // made anew.
    void renderReduced();

    PictureBuffers& picture_;
    const ControlGrid& grid_;
    CellWork& work_;
    PictureView& pictureView_;
    WindowPorts& window_;
    PictureCommands& pictures_;
    bool gridShown_ = false;
    Zoom zoom_;
    ReducedView reduced_;
};

} // namespace plexor

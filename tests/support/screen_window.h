#pragma once

#include <cstdint>

#include "editor/drag_host.h"
#include "editor/reduced_view.h"
#include "editor/refresh_host.h"
#include "editor/screen_colours.h"
#include "engine/deform_model.h"
#include "platform/bitmap.h"
#include "platform/dib_transfer.h"

namespace plexor::test {

// The main window as the editor sees it, without a display: the view is
// pushed into a 24-bit screen bitmap of the picture's size, and what a drag
// asks of the window is counted. Queued cells are only counted; a test that
// runs a worker overrides queueCellsAround. Shown reduced when `reduced` is
// set up and `showReduced` is true. With `colours` set, what each repaint
// shows is converted through them, as the window converts it to paint it.
class ScreenWindow : public RefreshHost, public DragHost {
public:
    explicit ScreenWindow(DeformModel& model);

    bool overlayVisible() const override { return overlay; }
    void pushView(std::span<const PixelRect> parts) override;
    void repaintImage(std::span<const PixelRect> parts) override;
    ReducedView* reduced() override { return showReduced ? &reducedView : nullptr; }
    // Refreshes what changed.
    void refresh() override;
    // Pixels pushed since the counts were last cleared.
    std::int64_t pushedPixels() const { return pixelsPushed; }
    void queueCellsAround(std::int32_t, std::int32_t) override { ++queued; }
    void queueCells(std::span<const CellRef>) override { ++queued; }
    void captureMouse() override { ++captures; }
    void releaseMouseCapture() override { --captures; }

    DeformModel& model;
    Bitmap screen;
    DibHeader format{};
    ReducedView reducedView;
    bool showReduced = false;
    bool overlay = true;
    bool pushesOk = true;
    std::int64_t pixelsPushed = 0;
    int repaints = 0;
    const ScreenColours* colours = nullptr;
    std::vector<std::uint32_t> shown; // a row as the screen shows it
    int queued = 0;
    int captures = 0;
};

} // namespace plexor::test

#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "editor/drag.h"
#include "editor/reduced_view.h"
#include "editor/screen_colours.h"
#include "platform/bitmap.h"
#include "platform/dib_transfer.h"
#include "tests/support/model_setup.h"

namespace plexor::test {

// The main window as the editor sees it, without a display: the view is
// pushed into a 24-bit screen bitmap of the picture's size, and a drag is
// driven as the mouse commands drive it, refreshed once a step, the cells it
// leaves for the worker counted, and the points whose cells it queues handed
// to `queueAround` when that is set (a test that runs a worker). Shown reduced when `reducedView` is set
// up and `showReduced` is true. With `colours` set, what each repaint shows
// is converted through them, as the window converts it to paint it.
class ScreenWindow {
public:
    explicit ScreenWindow(TestModel& model);
    virtual ~ScreenWindow() = default;

    // Refreshes what changed, pushes the parts and repaints them.
    virtual void refresh();
    // A press, a move and a release of the drag, each refreshed.
    void press(ControlPointDrag& drag, std::int32_t x, std::int32_t y);
    void move(ControlPointDrag& drag, std::int32_t x, std::int32_t y, bool lockAxis = false);
    void release(ControlPointDrag& drag);
    // Pixels pushed since the counts were last cleared.
    std::int64_t pushedPixels() const { return pixelsPushed; }

    TestModel& model;
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
    std::function<void(std::int32_t c, std::int32_t r)> queueAround;

private:
    void count(const DragStep& step);
    void pushView(std::span<const PixelRect> parts);
    void repaintImage(std::span<const PixelRect> parts);
};

} // namespace plexor::test

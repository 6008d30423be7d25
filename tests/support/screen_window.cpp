#include "tests/support/screen_window.h"

#include "editor/refresh.h"

namespace plexor::test {

ScreenWindow::ScreenWindow(TestModel& m)
    : model(m), screen(m.picture.width(), m.picture.height(), PixelFormat::rgb24()),
      shown(static_cast<std::size_t>(m.picture.width()))
{
    format = DibHeader::topDownRows24(m.picture.width(), m.picture.height());
}

void ScreenWindow::pushView(std::span<const PixelRect> parts)
{
    for (const PixelRect& part : parts) {
        const int rows =
            copyPartToBitmap(screen, part.x0, part.y0, part.x1, part.y1, model.picture.view().colours.data(), format);
        pushesOk = pushesOk && rows == part.y1 - part.y0;
        pixelsPushed += part.area();
    }
}

void ScreenWindow::repaintImage(std::span<const PixelRect> parts)
{
    ++repaints;
    if (colours == nullptr) return;
    for (const PixelRect& part : parts) {
        if (showReduced) {
            const PixelRect& window = reducedView.window();
            const PixelRect s = reducedView.screenRectOf(part).intersection(window);
            for (std::int32_t y = s.y0; y < s.y1; ++y)
                colours->convertRow(reducedView.pixels() + (y - window.y0) * reducedView.stride() +
                                        3 * (s.x0 - window.x0),
                                    nullptr, s.x0, s.x1, y, shown.data());
        } else {
            for (std::int32_t y = part.y0; y < part.y1; ++y)
                colours->convertRow(screen.row(y) + 3 * part.x0, nullptr, part.x0, part.x1, y, shown.data());
        }
    }
}

void ScreenWindow::refresh()
{
    const RefreshParts shown =
        plexor::refresh(model.picture, model.grid, model.work, showReduced ? &reducedView : nullptr, overlay,
                        &model.work.preview().shown());
    pushView(shown.parts());
    repaintImage(shown.parts());
}

void ScreenWindow::count(const DragStep& step)
{
    queued += (step.queueAround >= 0) + !step.batch.empty();
    const std::int32_t cols = model.grid.shape().pointCols;
    if (step.queueAround >= 0 && queueAround) queueAround(step.queueAround % cols, step.queueAround / cols);
}

void ScreenWindow::press(ControlPointDrag& drag, std::int32_t x, std::int32_t y)
{
    if (drag.dragging()) count(drag.release());
    if (drag.press(x, y)) refresh();
}

void ScreenWindow::move(ControlPointDrag& drag, std::int32_t x, std::int32_t y, bool lockAxis)
{
    if (!drag.dragging()) return;
    count(drag.move(x, y, lockAxis));
    refresh();
}

void ScreenWindow::release(ControlPointDrag& drag)
{
    const bool held = drag.dragging();
    count(drag.release());
    if (held) refresh();
}

} // namespace plexor::test

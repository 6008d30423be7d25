#include "tests/support/screen_window.h"

#include "editor/refresh.h"

namespace plexor::test {

ScreenWindow::ScreenWindow(DeformModel& m)
    : model(m), screen(m.imageWidth(), m.imageHeight(), PixelFormat::rgb24()),
      shown(static_cast<std::size_t>(m.imageWidth()))
{
    format = DibHeader::topDownRows24(m.imageWidth(), m.imageHeight());
}

void ScreenWindow::pushView(std::span<const PixelRect> parts)
{
    for (const PixelRect& part : parts) {
        const int rows = copyPartToBitmap(screen, part.x0, part.y0, part.x1, part.y1, model.viewImage().data(), format);
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
    plexor::refresh(model, *this);
}

} // namespace plexor::test

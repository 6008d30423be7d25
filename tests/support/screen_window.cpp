#include "tests/support/screen_window.h"

#include "editor/refresh.h"

namespace plexor::test {

ScreenWindow::ScreenWindow(DeformModel& m) : model(m), screen(m.imageWidth(), m.imageHeight(), PixelFormat::rgb24())
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

void ScreenWindow::refresh()
{
    plexor::refresh(model, *this);
}

} // namespace plexor::test

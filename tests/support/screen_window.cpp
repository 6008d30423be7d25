#include "tests/support/screen_window.h"

#include "editor/refresh.h"

namespace plexor::test {

ScreenWindow::ScreenWindow(DeformModel& m) : model(m), screen(m.ImageWidth, m.ImageHeight, PixelFormat::Rgb24())
{
    format.bmiHeader.biWidth = m.ImageWidth;
    format.bmiHeader.biHeight = -m.ImageHeight;
}

void ScreenWindow::PushView(std::span<const PixelRect> parts)
{
    for (const PixelRect& part : parts) {
        const int rows = SetDIBitsPart(screen, part.X0, part.Y0, part.X1, part.Y1, model.ViewImage.data(), format);
        pushesOk = pushesOk && rows == part.Y1 - part.Y0;
        pushedPixels += part.Area();
    }
}

void ScreenWindow::Refresh()
{
    plexor::Refresh(model, *this);
}

} // namespace plexor::test

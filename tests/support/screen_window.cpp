#include "tests/support/screen_window.h"

#include "editor/refresh.h"

namespace plexor::test {

ScreenWindow::ScreenWindow(DeformModel& m) : model(m), screen(m.ImageWidth, m.ImageHeight, PixelFormat::Rgb24())
{
    format.bmiHeader.biWidth = m.ImageWidth;
    format.bmiHeader.biHeight = -m.ImageHeight;
}

void ScreenWindow::PushView()
{
    const int rows = SetDIBits(screen, 0, model.ImageHeight, model.ViewImage.data(), format);
    pushesOk = pushesOk && rows == model.ImageHeight;
    pushedRows += rows;
}

void ScreenWindow::Refresh()
{
    plexor::Refresh(model, *this);
}

} // namespace plexor::test

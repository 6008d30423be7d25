#include "app/window_fitting.h"

namespace plexor {

void FitWindowToPicture(WindowFrame& frame, std::int32_t width, std::int32_t height)
{
    const std::int64_t panel = frame.PanelWidth();
    if (panel + width >= frame.ScreenWidth()) {
        frame.FillScreen();
        return;
    }
    frame.SetClientWidth(static_cast<std::int32_t>(panel + width + 4));
    frame.SetLeft((frame.ScreenWidth() - frame.Width()) / 2);
    const std::int64_t border = std::int64_t{frame.Height()} - frame.ClientHeight();
    if (height + border >= frame.ScreenHeight()) {
        frame.FillScreen();
        return;
    }
    frame.SetClientHeight(height + 4);
    frame.SetTop((frame.ScreenHeight() - frame.Height()) / 2);
}

} // namespace plexor

#include "app/window_fitting.h"

namespace plexor {

void fitWindowToPicture(WindowFrame& frame, std::int32_t width, std::int32_t height)
{
    const std::int64_t panel = frame.panelWidth();
    if (panel + width >= frame.screenWidth()) {
        frame.fillScreen();
        return;
    }
    frame.setClientWidth(static_cast<std::int32_t>(panel + width + 4));
    frame.setLeft((frame.screenWidth() - frame.width()) / 2);
    const std::int64_t border = std::int64_t{frame.height()} - frame.clientHeight();
    if (height + border >= frame.screenHeight()) {
        frame.fillScreen();
        return;
    }
    frame.setClientHeight(height + 4);
    frame.setTop((frame.screenHeight() - frame.height()) / 2);
}

} // namespace plexor

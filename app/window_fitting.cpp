#include "app/window_fitting.h"

namespace plexor {

void fitWindowToPicture(WindowFrame& frame, std::int32_t width, std::int32_t height)
{
    const std::int64_t panel = frame.panelWidth();
    if (panel + width >= frame.screenWidth()) {
        frame.fillScreen();
        return;
    }
    frame.setContentsWidth(static_cast<std::int32_t>(panel + width + 4));
    frame.setX((frame.screenWidth() - frame.width()) / 2);
    const std::int64_t border = std::int64_t{frame.height()} - frame.contentsHeight();
    if (height + border >= frame.screenHeight()) {
        frame.fillScreen();
        return;
    }
    frame.setContentsHeight(height + 4);
    frame.setY((frame.screenHeight() - frame.height()) / 2);
}

} // namespace plexor

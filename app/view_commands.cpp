#include "app/view_commands.h"

#include "editor/refresh.h"

namespace plexor {

void ViewCommands::refresh()
{
    const RefreshParts shown = plexor::refresh(picture_, grid_, work_, zoom_.reduces() ? &reduced_ : nullptr,
                                               gridShown_, &work_.preview().shown());
    pictures_.pushView(shown.parts());
    repaintImage(shown.parts());
}

void ViewCommands::toggleGridShown()
{
    gridShown_ = !gridShown_;
    if (picture_.hasPicture() && grid_.exists()) {
        work_.changes().markAll();
        refresh();
    }
}

void ViewCommands::showGrid()
{
    gridShown_ = true;
}

void ViewCommands::zoomIn()
{
    setZoom(nextZoomIn(zoom_), pictureView_.viewportWidth() / 2, pictureView_.viewportHeight() / 2);
}

void ViewCommands::zoomOut()
{
    setZoom(nextZoomOut(zoom_), pictureView_.viewportWidth() / 2, pictureView_.viewportHeight() / 2);
}

void ViewCommands::fitToWindow()
{
    setZoom(fitZoom(picture_.width(), picture_.height(), pictureView_.viewportWidth(), pictureView_.viewportHeight()),
            0, 0);
}

void ViewCommands::showActualSize()
{
    setZoom(Zoom::actual(), pictureView_.viewportWidth() / 2, pictureView_.viewportHeight() / 2);
}

void ViewCommands::wheelZoom(int steps, std::int32_t x, std::int32_t y)
{
    Zoom zoom = zoom_;
    for (; steps > 0; --steps) zoom = nextZoomIn(zoom);
    for (; steps < 0; ++steps) zoom = nextZoomOut(zoom);
    setZoom(zoom, x, y);
}

void ViewCommands::zoomForNewPicture()
{
    const bool larger =
        picture_.width() > pictureView_.viewportWidth() || picture_.height() > pictureView_.viewportHeight();
    zoom_ = Zoom::actual(); // a new picture starts at the top-left corner
    pictureView_.scrollTo(0, 0);
    if (larger)
        fitToWindow();
    else
        setZoom(Zoom::actual(), 0, 0);
}

void ViewCommands::setZoom(Zoom zoom, std::int32_t anchorX, std::int32_t anchorY)
{
    const PixelRect visible = pictureView_.visible();
    const std::int64_t scrollX = scrollKeeping(visible.x0, anchorX, zoom_, zoom);
    const std::int64_t scrollY = scrollKeeping(visible.y0, anchorY, zoom_, zoom);
    zoom_ = zoom;
    pictureView_.setZoom(zoom, reducedShown());
    pictureView_.scrollTo(scrollX, scrollY);
    window_.showZoom("Zoom " + std::to_string(zoom.percent()) + "%");
    renderReduced();
    pictureView_.repaintNow(pictureView_.visible());
}

void ViewCommands::viewportChanged()
{
    if (!zoom_.reduces()) return;
    const PixelRect visible = pictureView_.visible();
    if (visible == reduced_.window()) return;
    renderReduced();
    pictureView_.repaintNow(visible);
}

void ViewCommands::renderReduced()
{
    if (!zoom_.reduces() || !picture_.hasPicture()) return;
    reduced_.setWindow(zoom_, pictureView_.visible(), picture_.width(), picture_.height());
    refreshPart(picture_, grid_, work_, &reduced_, gridShown_, &work_.preview().shown(), reduced_.shownPart());
}

void ViewCommands::repaintImage(std::span<const PixelRect> parts)
{
    for (const PixelRect& part : parts) {
        const PixelRect screen = zoom_.reduces() ? reduced_.screenRectOf(part)
                                                 : PixelRect{static_cast<std::int32_t>(zoom_.toScreen(part.x0)),
                                                             static_cast<std::int32_t>(zoom_.toScreen(part.y0)),
                                                             static_cast<std::int32_t>(zoom_.toScreen(part.x1)),
                                                             static_cast<std::int32_t>(zoom_.toScreen(part.y1))};
        pictureView_.repaintNow(screen);
    }
}

} // namespace plexor

#include "app/qt/qt_picture_view.h"

#include <cmath>

#include <QLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include "app/qt/screen_profile.h"
#include "editor/reduced_view.h"
#include "platform/bitmap.h"

namespace plexor {
namespace {

// The screen pixel under the pointer. On a scaled screen a position can
// fall between two device pixels of one screen pixel; it belongs to the
// pixel it lies in, also left of or above the picture while the mouse is
// captured.
QPoint screenPixel(const QMouseEvent& event)
{
    const QPointF at = event.position();
    return {static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
}

} // namespace

QtPictureView::QtPictureView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pictureView"));
    setMouseTracking(true);
    // Every pixel is painted from the bitmap: nothing to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
}

void QtPictureView::showBitmap(const Bitmap& bitmap, const ScreenLook& look)
{
    std::vector<ScreenColours::Sample> samples = screenSamples(look.iccProfile);
    if (samples.empty())
        colours_.clearSamples();
    else
        colours_.setSamples(std::move(samples));
    painter_.show(&bitmap, &colours_, look.alpha);
    repaints_ = 0;
    zoom_ = Zoom::actual();
    reduced_ = nullptr;
    resize(painter_.size());
    update();
}

void QtPictureView::setZoom(Zoom zoom, const ReducedView* reduced)
{
    zoom_ = zoom;
    reduced_ = reduced;
    resize(shownSize());
    update();
}

QSize QtPictureView::shownSize() const
{
    const QSize picture = painter_.size();
    return {static_cast<int>(zoom_.screenLength(picture.width())),
            static_cast<int>(zoom_.screenLength(picture.height()))};
}

void QtPictureView::repaintNow(const PixelRect& screen)
{
    if (screen.empty()) return;
    // The bitmap's pixels changed: a converted copy follows, row by row.
    if (!reduced_) {
        const int top = static_cast<int>(zoom_.toPicture(screen.y0));
        const int bottom = static_cast<int>(zoom_.toPicture(screen.y1 - 1)) + 1;
        painter_.update(top, bottom);
    }
    ++repaints_;
    repaint(QRect(screen.x0, screen.y0, screen.x1 - screen.x0, screen.y1 - screen.y0));
}

PixelRect QtPictureView::visible() const
{
    if (area_ == nullptr) return PixelRect{0, 0, width(), height()};
    // Where the viewport lies over the view, cut to the view.
    const QWidget* viewport = area_->viewport();
    const QPoint origin = mapFrom(viewport, QPoint(0, 0));
    const QRect seen = QRect(origin, viewport->size()).intersected(rect());
    return PixelRect{seen.left(), seen.top(), seen.left() + seen.width(), seen.top() + seen.height()};
}

std::int32_t QtPictureView::viewportWidth() const
{
    if (area_ == nullptr) return width();
    // A window just resized lays its widgets out later; the viewport's size
    // is wanted now.
    if (QLayout* layout = area_->window()->layout()) layout->activate();
    if (QLayout* layout = area_->parentWidget()->layout()) layout->activate();
    return area_->maximumViewportSize().width();
}

std::int32_t QtPictureView::viewportHeight() const
{
    if (area_ == nullptr) return height();
    if (QLayout* layout = area_->window()->layout()) layout->activate();
    if (QLayout* layout = area_->parentWidget()->layout()) layout->activate();
    return area_->maximumViewportSize().height();
}

void QtPictureView::scrollTo(std::int64_t x, std::int64_t y)
{
    if (area_ == nullptr) return;
    area_->horizontalScrollBar()->setValue(static_cast<int>(std::clamp<std::int64_t>(x, 0, INT32_MAX)));
    area_->verticalScrollBar()->setValue(static_cast<int>(std::clamp<std::int64_t>(y, 0, INT32_MAX)));
}

void QtPictureView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    if (reduced_ != nullptr) {
        const PixelRect& window = reduced_->window();
        const QImage image(reduced_->pixels(), window.x1 - window.x0, window.y1 - window.y0, reduced_->stride(),
                           QImage::Format_BGR888);
        const QRect shown = exposed.intersected(QRect(window.x0, window.y0, image.width(), image.height()));
        if (!colours_.converts()) {
            painter.drawImage(shown, image, shown.translated(-window.x0, -window.y0));
            return;
        }
        // Converted to the screen's colours where it is painted.
        if (converted_.width() < shown.width() || converted_.height() < shown.height())
            converted_ = QImage(std::max(shown.width(), converted_.width()),
                                std::max(shown.height(), converted_.height()), QImage::Format_RGB32);
        for (int y = shown.top(); y <= shown.bottom(); ++y)
            colours_.convertRow(image.constScanLine(y - window.y0) + 3 * (shown.left() - window.x0), nullptr,
                                shown.left(), shown.left() + shown.width(), y,
                                reinterpret_cast<std::uint32_t*>(converted_.scanLine(y - shown.top())));
        painter.drawImage(shown, converted_, QRect(QPoint(0, 0), shown.size()));
        return;
    }
    // The picture pixels the exposed screen pixels show.
    const QSize picture = painter_.size();
    const int left = static_cast<int>(zoom_.toPicture(exposed.left()));
    const int top = static_cast<int>(zoom_.toPicture(exposed.top()));
    const int right = std::min(picture.width(), static_cast<int>(zoom_.toPicture(exposed.right())) + 1);
    const int bottom = std::min(picture.height(), static_cast<int>(zoom_.toPicture(exposed.bottom())) + 1);
    if (left >= right || top >= bottom) return;
    painter_.paint(painter, QRect(left, top, right - left, bottom - top), zoom_);
}

void QtPictureView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = screenPixel(*event);
    emit mousePressed(at.x(), at.y(), event->modifiers());
}

void QtPictureView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = screenPixel(*event);
    emit mouseMoved(at.x(), at.y(), event->modifiers());
}

void QtPictureView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = screenPixel(*event);
    emit mouseReleased(at.x(), at.y(), event->modifiers());
}

} // namespace plexor

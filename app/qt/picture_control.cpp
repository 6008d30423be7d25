#include "app/qt/picture_control.h"

#include <cmath>

#include <QLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include "editor/reduced_view.h"
#include "platform/bitmap.h"

namespace plexor {
namespace {

// The screen pixel under the pointer. On a scaled screen a position can
// fall between two device pixels of one screen pixel; it belongs to the
// pixel it lies in, also left of or above the picture while the mouse is
// captured.
QPoint ScreenPixel(const QMouseEvent& event)
{
    const QPointF at = event.position();
    return {static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
}

} // namespace

PictureControl::PictureControl(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image"));
    setMouseTracking(true);
    // Every pixel is painted from the bitmap: nothing to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
}

void PictureControl::ShowBitmap(const TBitmap& bitmap)
{
    view_.Show(&bitmap);
    repaints_ = 0;
    zoom_ = Zoom::Actual();
    reduced_ = nullptr;
    resize(view_.Size());
    update();
}

void PictureControl::SetZoom(Zoom zoom, const ReducedView* reduced)
{
    zoom_ = zoom;
    reduced_ = reduced;
    resize(ShownSize());
    update();
}

QSize PictureControl::ShownSize() const
{
    const QSize picture = view_.Size();
    return {static_cast<int>(zoom_.ScreenLength(picture.width())),
            static_cast<int>(zoom_.ScreenLength(picture.height()))};
}

void PictureControl::Repaint(const PixelRect& screen)
{
    if (screen.Empty()) return;
    // The bitmap's pixels changed: a converted copy follows, row by row.
    if (!reduced_) {
        const int top = static_cast<int>(zoom_.ToPicture(screen.Y0));
        const int bottom = static_cast<int>(zoom_.ToPicture(screen.Y1 - 1)) + 1;
        view_.Update(top, bottom);
    }
    ++repaints_;
    repaint(QRect(screen.X0, screen.Y0, screen.X1 - screen.X0, screen.Y1 - screen.Y0));
}

PixelRect PictureControl::Visible() const
{
    if (area_ == nullptr) return PixelRect{0, 0, width(), height()};
    // Where the viewport lies over the control, cut to the control.
    const QWidget* viewport = area_->viewport();
    const QPoint origin = mapFrom(viewport, QPoint(0, 0));
    const QRect seen = QRect(origin, viewport->size()).intersected(rect());
    return PixelRect{seen.left(), seen.top(), seen.left() + seen.width(), seen.top() + seen.height()};
}

std::int32_t PictureControl::ViewportWidth() const
{
    if (area_ == nullptr) return width();
    // A window just resized lays its widgets out later; the viewport's size
    // is wanted now.
    if (QLayout* layout = area_->window()->layout()) layout->activate();
    if (QLayout* layout = area_->parentWidget()->layout()) layout->activate();
    return area_->maximumViewportSize().width();
}

std::int32_t PictureControl::ViewportHeight() const
{
    if (area_ == nullptr) return height();
    if (QLayout* layout = area_->window()->layout()) layout->activate();
    if (QLayout* layout = area_->parentWidget()->layout()) layout->activate();
    return area_->maximumViewportSize().height();
}

void PictureControl::ScrollTo(std::int64_t x, std::int64_t y)
{
    if (area_ == nullptr) return;
    area_->horizontalScrollBar()->setValue(static_cast<int>(std::clamp<std::int64_t>(x, 0, INT32_MAX)));
    area_->verticalScrollBar()->setValue(static_cast<int>(std::clamp<std::int64_t>(y, 0, INT32_MAX)));
}

void PictureControl::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    if (reduced_ != nullptr) {
        const PixelRect& window = reduced_->Window();
        const QImage image(reduced_->Pixels(), window.X1 - window.X0, window.Y1 - window.Y0, reduced_->Stride(),
                           QImage::Format_BGR888);
        const QRect shown = exposed.intersected(QRect(window.X0, window.Y0, image.width(), image.height()));
        painter.drawImage(shown, image, shown.translated(-window.X0, -window.Y0));
        return;
    }
    // The picture pixels the exposed screen pixels show.
    const QSize picture = view_.Size();
    const int left = static_cast<int>(zoom_.ToPicture(exposed.left()));
    const int top = static_cast<int>(zoom_.ToPicture(exposed.top()));
    const int right = std::min(picture.width(), static_cast<int>(zoom_.ToPicture(exposed.right())) + 1);
    const int bottom = std::min(picture.height(), static_cast<int>(zoom_.ToPicture(exposed.bottom())) + 1);
    if (left >= right || top >= bottom) return;
    view_.Paint(painter, QRect(left, top, right - left, bottom - top), zoom_);
}

void PictureControl::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = ScreenPixel(*event);
    emit MouseDown(at.x(), at.y());
}

void PictureControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = ScreenPixel(*event);
    emit MouseMove(at.x(), at.y());
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = ScreenPixel(*event);
    emit MouseUp(at.x(), at.y());
}

} // namespace plexor

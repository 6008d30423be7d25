#include "app/qt/picture_control.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>

#include "platform/bitmap.h"

namespace plexor {
namespace {

// The picture pixel under the pointer. On a scaled screen a position can
// fall between two device pixels of one picture pixel; it belongs to the
// pixel it lies in, also left of or above the picture while the mouse is
// captured.
QPoint PicturePixel(const QMouseEvent& event)
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
    resize(view_.Size());
    update();
}

void PictureControl::Repaint()
{
    view_.Update();
    ++repaints_;
    repaint();
}

void PictureControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    view_.Paint(painter);
}

void PictureControl::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = PicturePixel(*event);
    emit MouseDown(at.x(), at.y());
}

void PictureControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = PicturePixel(*event);
    emit MouseMove(at.x(), at.y());
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = PicturePixel(*event);
    emit MouseUp(at.x(), at.y());
}

} // namespace plexor

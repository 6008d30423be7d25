#pragma once

#include <QPointer>
#include <QScrollArea>
#include <QWidget>

#include "app/picture_view.h"
#include "app/qt/picture_painter.h"

namespace plexor {

// The picture view in the scroll box: shows the screen bitmap, in the
// screen's colours, at the zoom the commands set (exactly at full size, each
// pixel a square when enlarged, the commands' reduced view when reduced),
// sizes itself to the picture at that zoom, and reports presses, moves and
// releases of the mouse at its own positions, with the keyboard modifiers
// held. Moves are reported whether or not a button is down. Repaints draw
// only what they are asked to.
class QtPictureView final : public QWidget, public PictureView {
    Q_OBJECT
public:
    explicit QtPictureView(QWidget* parent = nullptr);

    // The scroll box it sits in: its viewport and scroll bars.
    void attachScrollArea(QScrollArea& area) { area_ = &area; }

    // PictureView
    void showBitmap(const Bitmap& bitmap, const ScreenLook& look) override;
    void setZoom(Zoom zoom, const ReducedView* reduced) override;
    void repaintNow(const PixelRect& screen) override;
    PixelRect visible() const override;
    std::int32_t viewportWidth() const override;
    std::int32_t viewportHeight() const override;
    void scrollTo(std::int64_t x, std::int64_t y) override;

    const PicturePainter& painter() const noexcept { return painter_; }
    // Repaints since the last showBitmap, for checks.
    int repaintCount() const noexcept { return repaints_; }

signals:
    void mousePressed(int x, int y, Qt::KeyboardModifiers modifiers);
    void mouseMoved(int x, int y, Qt::KeyboardModifiers modifiers);
    void mouseReleased(int x, int y, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSize shownSize() const;

    ScreenColours colours_;
    PicturePainter painter_;
    QImage converted_; // room for a part of the reduced view, converted
    Zoom zoom_;
    const ReducedView* reduced_ = nullptr;
    QPointer<QScrollArea> area_;
    int repaints_ = 0;
};

} // namespace plexor

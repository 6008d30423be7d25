#pragma once

#include <QPointer>
#include <QScrollArea>
#include <QWidget>

#include "app/qt/bitmap_view.h"
#include "app/shell_ports.h"

namespace plexor {

// The picture control in the scroll box: shows the screen bitmap, in the
// screen's colours, at the zoom the commands set (exactly at full size, each pixel a square
// when enlarged, the commands' reduced view when reduced), sizes itself to
// the picture at that zoom, and reports presses, moves and releases of the
// mouse at its own positions, with the keyboard modifiers held. Moves are
// reported whether or not a button is down. Repaints draw only what they are
// asked to.
class PictureControl final : public QWidget, public ImageView {
    Q_OBJECT
public:
    explicit PictureControl(QWidget* parent = nullptr);

    // The scroll box it sits in: its viewport and scroll bars.
    void attachScrollArea(QScrollArea& area) { area_ = &area; }

    // ImageView
    void showBitmap(const Bitmap& bitmap, const ScreenLook& look) override;
    void setZoom(Zoom zoom, const ReducedView* reduced) override;
    void repaintNow(const PixelRect& screen) override;
    PixelRect visible() const override;
    std::int32_t viewportWidth() const override;
    std::int32_t viewportHeight() const override;
    void scrollTo(std::int64_t x, std::int64_t y) override;

    const BitmapView& view() const noexcept { return view_; }
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
    BitmapView view_;
    QImage converted_; // room for a part of the reduced view, converted
    Zoom zoom_;
    const ReducedView* reduced_ = nullptr;
    QPointer<QScrollArea> area_;
    int repaints_ = 0;
};

} // namespace plexor

#pragma once

#include <QPointer>
#include <QScrollArea>
#include <QWidget>

#include "app/qt/bitmap_view.h"
#include "app/shell_ports.h"

namespace plexor {

// The picture control `Image` in the scroll box `SB`: shows the screen bitmap
// at the zoom the commands set (exactly at full size, each pixel a square
// when enlarged, the commands' reduced view when reduced), sizes itself to
// the picture at that zoom, and reports presses, moves and releases of the
// mouse at its own positions. Moves are reported whether or not a button is
// down. Repaints draw only what they are asked to.
class PictureControl final : public QWidget, public ImageView {
    Q_OBJECT
public:
    explicit PictureControl(QWidget* parent = nullptr);

    // The scroll box it sits in: its viewport and scroll bars.
    void AttachScrollArea(QScrollArea& area) { area_ = &area; }

    // ImageView
    void ShowBitmap(const TBitmap& bitmap) override;
    void SetZoom(Zoom zoom, const ReducedView* reduced) override;
    void Repaint(const PixelRect& screen) override;
    PixelRect Visible() const override;
    std::int32_t ViewportWidth() const override;
    std::int32_t ViewportHeight() const override;
    void ScrollTo(std::int64_t x, std::int64_t y) override;

    const BitmapView& View() const noexcept { return view_; }
    Zoom ShownZoom() const noexcept { return zoom_; }
    // Repaints since the last ShowBitmap, for checks.
    int RepaintCount() const noexcept { return repaints_; }

signals:
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSize ShownSize() const;

    BitmapView view_;
    Zoom zoom_;
    const ReducedView* reduced_ = nullptr;
    QPointer<QScrollArea> area_;
    int repaints_ = 0;
};

} // namespace plexor

#pragma once

#include <QWidget>

#include "app/qt/bitmap_view.h"
#include "app/shell_ports.h"

namespace plexor {

// The picture control `Image`: shows the screen bitmap at one picture pixel
// per logical pixel, sizes itself to it, and reports presses, moves and
// releases of the mouse in picture pixels. Moves are reported whether or not
// a button is down.
class PictureControl final : public QWidget, public ImageView {
    Q_OBJECT
public:
    explicit PictureControl(QWidget* parent = nullptr);

    // ImageView
    void ShowBitmap(const TBitmap& bitmap) override;
    void Repaint() override;

    const BitmapView& View() const noexcept { return view_; }
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
    BitmapView view_;
    int repaints_ = 0;
};

} // namespace plexor

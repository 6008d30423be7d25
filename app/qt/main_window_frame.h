#pragma once

#include <QPointer>

#include "app/window_frame.h"

class QMainWindow;
class QWidget;

namespace plexor {

// The main window's geometry in logical pixels. The contents are the part
// between the menu bar and the status bar; the outer size includes the
// window system's frame, where it has told it. The screen is the usable area
// of the screen the window is on (without panels and docks), and x and y
// count from its top-left corner.
class MainWindowFrame final : public WindowFrame {
public:
    MainWindowFrame(QMainWindow& window, QWidget& panel) : window_(&window), panel_(&panel) {}

    std::int32_t screenWidth() const override;
    std::int32_t screenHeight() const override;
    std::int32_t width() const override;
    std::int32_t height() const override;
    std::int32_t contentsHeight() const override;
    std::int32_t panelWidth() const override;
    void setContentsWidth(std::int32_t width) override;
    void setContentsHeight(std::int32_t height) override;
    void setX(std::int32_t x) override;
    void setY(std::int32_t y) override;
    void fillScreen() override;

    // Gives the window the outer bounds `outer`, frame included, as near as
    // the window system allows: before the window is shown the frame is not
    // known yet, and the bounds are taken for the window itself.
    void setOuterBounds(const QRect& outer);

private:
    QRect screen() const;
    // Height of the menu bar at the window's current width.
    int menuHeight() const;
    // Height of the status bar below the contents.
    int statusHeight() const;

    QPointer<QMainWindow> window_;
    QPointer<QWidget> panel_;
};

} // namespace plexor

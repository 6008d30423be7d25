#pragma once

#include <QPointer>

#include "app/shell_ports.h"

class QMainWindow;
class QWidget;

namespace plexor {

// The main window's geometry in logical pixels. The client area is the part
// between the menu bar and the status bar; the outer size includes the window system's frame,
// where it has told it. The screen is the usable area of the screen the
// window is on (without panels and docks), and Left and Top count from its
// top-left corner.
class MainWindowFrame final : public WindowFrame {
public:
    MainWindowFrame(QMainWindow& window, QWidget& panel) : window_(&window), panel_(&panel) {}

    std::int32_t ScreenWidth() const override;
    std::int32_t ScreenHeight() const override;
    std::int32_t Width() const override;
    std::int32_t Height() const override;
    std::int32_t ClientHeight() const override;
    std::int32_t PanelWidth() const override;
    void SetClientWidth(std::int32_t width) override;
    void SetClientHeight(std::int32_t height) override;
    void SetLeft(std::int32_t left) override;
    void SetTop(std::int32_t top) override;
    void FillScreen() override;

    // Gives the window the outer bounds `outer`, frame included, as near as
    // the window system allows: before the window is shown the frame is not
    // known yet, and the bounds are taken for the window itself.
    void SetOuterBounds(const QRect& outer);

private:
    QRect Screen() const;
    // Height of the menu bar at the window's current width.
    int MenuHeight() const;
    // Height of the status bar below the client area.
    int StatusHeight() const;

    QPointer<QMainWindow> window_;
    QPointer<QWidget> panel_;
};

} // namespace plexor

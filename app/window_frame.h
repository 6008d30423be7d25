#pragma once

#include <cstdint>

namespace plexor {

// The main window's geometry and the screen's size, in pixels. The contents
// are the part of the window between its menu bar and its status bar.
// Everything here runs on the UI thread.
class WindowFrame {
public:
    virtual ~WindowFrame() = default;
    virtual std::int32_t screenWidth() const = 0;
    virtual std::int32_t screenHeight() const = 0;
    // Outer size, frame included.
    virtual std::int32_t width() const = 0;
    virtual std::int32_t height() const = 0;
    virtual std::int32_t contentsHeight() const = 0;
    // Width of the tool panel at the left.
    virtual std::int32_t panelWidth() const = 0;
    virtual void setContentsWidth(std::int32_t width) = 0;
    virtual void setContentsHeight(std::int32_t height) = 0;
    // The outer left and top edges, counted from the screen's top-left
    // corner.
    virtual void setX(std::int32_t x) = 0;
    virtual void setY(std::int32_t y) = 0;
    // Gives the window the whole usable area of its screen, frame included.
    virtual void fillScreen() = 0;
};

} // namespace plexor

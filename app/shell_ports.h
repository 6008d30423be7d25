#pragma once

// What the commands need of the window around them. The Qt window provides
// these; tests provide their own. Everything here runs on the UI thread.

#include <cstdint>
#include <optional>
#include <string>

#include "editor/zoom.h"
#include "engine/pixel_rect.h"

namespace plexor {

class ReducedView;
class TBitmap;

// One run of a file dialog: its filter ("Name (*.ext)|*.ext|..."), the
// 1-based filter entry selected when it opens, the proposed file name and
// the extension added to a typed name that has none.
struct FileDialogRequest {
    std::string Filter;
    int FilterIndex = 1;
    std::string FileName;
    std::string DefaultExtension;
};

struct FileDialogChoice {
    std::string FileName;
    int FilterIndex = 1;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Both return nothing when the user cancels.
    virtual std::optional<FileDialogChoice> RunOpenDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogChoice> RunSaveDialog(const FileDialogRequest& request) = 0;
};

// The main window's geometry and the screen's size, in pixels.
class WindowFrame {
public:
    virtual ~WindowFrame() = default;
    virtual std::int32_t ScreenWidth() const = 0;
    virtual std::int32_t ScreenHeight() const = 0;
    // Outer size, frame included.
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    virtual std::int32_t ClientHeight() const = 0;
    // Width of the tool panel at the left.
    virtual std::int32_t PanelWidth() const = 0;
    virtual void SetClientWidth(std::int32_t width) = 0;
    virtual void SetClientHeight(std::int32_t height) = 0;
    virtual void SetLeft(std::int32_t left) = 0;
    virtual void SetTop(std::int32_t top) = 0;
    // Gives the window the whole usable area of its screen, frame included.
    virtual void FillScreen() = 0;
};

// The picture control in its scroll box. It shows the screen bitmap at the
// zoom the commands set: at full size exactly, enlarged with each pixel a
// square, reduced from the commands' reduced view. Screen positions count
// from the shown picture's top-left corner.
class ImageView {
public:
    virtual ~ImageView() = default;
    // The control now shows `bitmap` (which stays alive and in place until
    // the next call), at full size until SetZoom says otherwise.
    virtual void ShowBitmap(const TBitmap& bitmap) = 0;
    // The control now shows the bitmap at `zoom`, or `reduced` (which stays
    // alive until the next call) when the zoom reduces the picture; it takes
    // the size of the picture at that zoom.
    virtual void SetZoom(Zoom zoom, const ReducedView* reduced) = 0;
    // Repaints these screen pixels at once, not later: what they show has
    // changed.
    virtual void Repaint(const PixelRect& screen) = 0;
    // The part of the shown picture the scroll box shows, and the size of its
    // viewport, which may be larger than the picture.
    virtual PixelRect Visible() const = 0;
    virtual std::int32_t ViewportWidth() const = 0;
    virtual std::int32_t ViewportHeight() const = 0;
    // Scrolls so that screen position (x, y) is at the viewport's top-left
    // corner, as far as the scroll box goes.
    virtual void ScrollTo(std::int64_t x, std::int64_t y) = 0;
};

// The application's standard display of an error raised inside a command.
class ErrorDisplay {
public:
    virtual ~ErrorDisplay() = default;
    virtual void ShowError(const std::string& message) = 0;
};

// The grid dialog: an edit box and an OK button, shown modally.
class GridDialogPort {
public:
    virtual ~GridDialogPort() = default;
    virtual void SetEditText(const std::string& text) = 0;
    // Returns however the dialog was closed.
    virtual void ShowModal() = 0;
    virtual std::string EditText() const = 0;
};

// The rest of the window the commands touch.
class WindowPorts {
public:
    virtual ~WindowPorts() = default;
    // The check mark of Grid > Show.
    virtual void SetShowChecked(bool checked) = 0;
    // Mouse capture for the picture's scroll area.
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    // An information box with an OK button.
    virtual void ShowInformation(const std::string& text) = 0;
    // The zoom the picture is shown at, as the window shows it to the user.
    virtual void ShowZoom(const std::string& text) = 0;
};

} // namespace plexor

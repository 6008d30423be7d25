#pragma once

// What the commands need of the window around them. The Qt window provides
// these; tests provide their own. Everything here runs on the UI thread.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/file_dialog_port.h"
#include "app/message_sink.h"
#include "editor/zoom.h"
#include "engine/pixel_rect.h"

namespace plexor {

class ReducedView;
class Bitmap;

// The main window's geometry and the screen's size, in pixels.
class WindowFrame {
public:
    virtual ~WindowFrame() = default;
    virtual std::int32_t screenWidth() const = 0;
    virtual std::int32_t screenHeight() const = 0;
    // Outer size, frame included.
    virtual std::int32_t width() const = 0;
    virtual std::int32_t height() const = 0;
    virtual std::int32_t clientHeight() const = 0;
    // Width of the tool panel at the left.
    virtual std::int32_t panelWidth() const = 0;
    virtual void setClientWidth(std::int32_t width) = 0;
    virtual void setClientHeight(std::int32_t height) = 0;
    virtual void setLeft(std::int32_t left) = 0;
    virtual void setTop(std::int32_t top) = 0;
    // Gives the window the whole usable area of its screen, frame included.
    virtual void fillScreen() = 0;
};

// How the screen shows the bitmap's pixels: in the colour space of their
// ICC profile (none: sRGB), and over a light checkerboard where an alpha
// plane (a byte a pixel, rows top to bottom; nullptr: opaque) makes them
// transparent.
struct ScreenLook {
    std::span<const std::uint8_t> iccProfile;
    const std::uint8_t* alpha = nullptr;
};

// The picture control in its scroll box. It shows the screen bitmap at the
// zoom the commands set: at full size exactly, enlarged with each pixel a
// square, reduced from the commands' reduced view. Screen positions count
// from the shown picture's top-left corner.
class ImageView {
public:
    virtual ~ImageView() = default;
    // The control now shows `bitmap` as `look` says (both stay alive and in
    // place until the next call), at full size until setZoom says otherwise.
    virtual void showBitmap(const Bitmap& bitmap, const ScreenLook& look) = 0;
    // The control now shows the bitmap at `zoom`, or `reduced` (which stays
    // alive until the next call) when the zoom reduces the picture; it takes
    // the size of the picture at that zoom.
    virtual void setZoom(Zoom zoom, const ReducedView* reduced) = 0;
    // Repaints these screen pixels at once, not later: what they show has
    // changed.
    virtual void repaintNow(const PixelRect& screen) = 0;
    // The part of the shown picture the scroll box shows, and the size of its
    // viewport, which may be larger than the picture.
    virtual PixelRect visible() const = 0;
    virtual std::int32_t viewportWidth() const = 0;
    virtual std::int32_t viewportHeight() const = 0;
    // Scrolls so that screen position (x, y) is at the viewport's top-left
    // corner, as far as the scroll box goes.
    virtual void scrollTo(std::int64_t x, std::int64_t y) = 0;
};

// The application's standard display of an error raised inside a command.
class ErrorDisplay {
public:
    virtual ~ErrorDisplay() = default;
    virtual void showError(const std::string& message) = 0;
};

// The grid dialog: an edit box and an OK button, shown modally.
class GridDialogPort {
public:
    virtual ~GridDialogPort() = default;
    virtual void setEditText(const std::string& text) = 0;
    // Returns however the dialog was closed.
    virtual void showModal() = 0;
    virtual std::string editText() const = 0;
};

// What the user answers when unsaved changes would go.
enum class SaveChoice { Save, Discard, Cancel };

// The rest of the window the commands touch.
class WindowPorts {
public:
    virtual ~WindowPorts() = default;
    // The check mark of Grid > Show.
    virtual void setShowChecked(bool checked) = 0;
    // Mouse capture for the picture's scroll area.
    virtual void captureMouse() = 0;
    virtual void releaseMouseCapture() = 0;
    // An information box with an OK button.
    virtual void showInformation(const std::string& text) = 0;
    // The zoom the picture is shown at, as the window shows it to the user.
    virtual void showZoom(const std::string& text) = 0;
    // Asks "Save changes to NAME?" with Save, Discard and Cancel; Escape or
    // closing the question cancels.
    virtual SaveChoice askToSaveChanges(const std::string& name) = 0;
    // A note that needs no answer, in the status bar: what an open or save
    // left out.
    virtual void showNote(const std::string& text) = 0;
    // What the status bar says of the point under the pointer; empty: none.
    virtual void showPointReadout(const std::string& text) = 0;
};

class ImageCodec;
class SettingsStore;

// Everything the commands need of the window around them.
struct ShellPorts {
    MessageSink& messages; // message boxes captioned "Error"
    ErrorDisplay& errors;  // the application's error display
    FileDialogs& dialogs;
    WindowFrame& frame;
    ImageView& image;
    GridDialogPort& gridDialog;
    WindowPorts& window;
    // Reads and writes the picture formats other than BMP.
    const ImageCodec& codec;
    SettingsStore& settings; // what is kept between runs
    // Called on the worker thread whenever it waits for the UI thread to run
    // a refresh: the window's event loop must then call serveWorkerCalls().
    std::function<void()> callWaiting;
};

} // namespace plexor

#pragma once

// Stand-ins for the window around the commands: they answer as a user or
// the window system would and record what the commands did to them.

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/image_codec.h"
#include "app/main_commands.h"
#include "app/shell_ports.h"
#include "platform/bitmap.h"
#include "platform/bmp_writer.h"
#include "tests/support/files.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"

namespace plexor::test {

class FakeErrors : public ErrorDisplay {
public:
    void ShowError(const std::string& message) override { shown.push_back(message); }
    std::vector<std::string> shown;
};

// Answers each dialog with the next queued choice; an empty queue cancels.
class FakeDialogs : public FileDialogs {
public:
    std::optional<FileDialogChoice> RunOpenDialog(const FileDialogRequest& request) override
    {
        openRequests.push_back(request);
        return Next(openAnswers);
    }
    std::optional<FileDialogChoice> RunSaveDialog(const FileDialogRequest& request) override
    {
        saveRequests.push_back(request);
        return Next(saveAnswers);
    }
    std::deque<std::optional<FileDialogChoice>> openAnswers, saveAnswers;
    std::vector<FileDialogRequest> openRequests, saveRequests;

private:
    static std::optional<FileDialogChoice> Next(std::deque<std::optional<FileDialogChoice>>& answers)
    {
        if (answers.empty()) return std::nullopt;
        std::optional<FileDialogChoice> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A window with a frame of fixed thickness on a screen of a given size.
class FakeFrame : public WindowFrame {
public:
    std::int32_t screenWidth = 1024, screenHeight = 768;
    std::int32_t frameWidth = 8, frameHeight = 46; // borders, title and menu
    std::int32_t clientWidth = 329, clientHeight = 221;
    std::int32_t left = 190, top = 109;
    std::int32_t panelWidth = 41;

    std::int32_t ScreenWidth() const override { return screenWidth; }
    std::int32_t ScreenHeight() const override { return screenHeight; }
    std::int32_t Width() const override { return clientWidth + frameWidth; }
    std::int32_t Height() const override { return clientHeight + frameHeight; }
    std::int32_t ClientHeight() const override { return clientHeight; }
    std::int32_t PanelWidth() const override { return panelWidth; }
    void SetClientWidth(std::int32_t w) override { clientWidth = w; }
    void SetClientHeight(std::int32_t h) override { clientHeight = h; }
    void SetLeft(std::int32_t l) override { left = l; }
    void SetTop(std::int32_t t) override { top = t; }
    void FillScreen() override
    {
        ++fills;
        left = top = 0;
        clientWidth = screenWidth - frameWidth;
        clientHeight = screenHeight - frameHeight;
    }
    int fills = 0;
};

// A picture control in a scroll box whose viewport is viewportWidth x
// viewportHeight; it records what it is asked to repaint.
class FakeImage : public ImageView {
public:
    void ShowBitmap(const TBitmap& b) override
    {
        bitmap = &b;
        ++shows;
        SetZoom(Zoom::Actual(), nullptr);
    }
    void SetZoom(Zoom z, const ReducedView* r) override
    {
        zoom = z;
        reduced = r;
        shownWidth = bitmap != nullptr ? static_cast<std::int32_t>(z.ScreenLength(bitmap->Width())) : 0;
        shownHeight = bitmap != nullptr ? static_cast<std::int32_t>(z.ScreenLength(bitmap->Height())) : 0;
        ScrollTo(scrollX, scrollY);
    }
    void Repaint(const PixelRect& screen) override
    {
        ++repaints;
        repainted = repainted.Union(screen);
    }
    PixelRect Visible() const override
    {
        return PixelRect{static_cast<std::int32_t>(scrollX), static_cast<std::int32_t>(scrollY),
                         static_cast<std::int32_t>(scrollX) + viewportWidth,
                         static_cast<std::int32_t>(scrollY) + viewportHeight}
            .Intersection(PixelRect{0, 0, shownWidth, shownHeight});
    }
    std::int32_t ViewportWidth() const override { return viewportWidth; }
    std::int32_t ViewportHeight() const override { return viewportHeight; }
    void ScrollTo(std::int64_t x, std::int64_t y) override
    {
        scrollX = std::clamp<std::int64_t>(x, 0, std::max(0, shownWidth - viewportWidth));
        scrollY = std::clamp<std::int64_t>(y, 0, std::max(0, shownHeight - viewportHeight));
    }

    const TBitmap* bitmap = nullptr;
    Zoom zoom;
    const ReducedView* reduced = nullptr;
    int shows = 0;
    int repaints = 0;
    PixelRect repainted; // all the screen pixels repainted, as one rectangle
    std::int32_t viewportWidth = 800, viewportHeight = 600;
    std::int32_t shownWidth = 0, shownHeight = 0;
    std::int64_t scrollX = 0, scrollY = 0;
};

// The grid dialog: records what it was shown with and, when shown, replaces
// the text with the next queued answer, as a user typing would.
class FakeGridDialog : public GridDialogPort {
public:
    void SetEditText(const std::string& t) override { text = t; }
    void ShowModal() override
    {
        shownWith.push_back(text);
        if (!answers.empty()) {
            text = answers.front();
            answers.pop_front();
        }
    }
    std::string EditText() const override { return text; }
    std::string text = "5";
    std::deque<std::string> answers;
    std::vector<std::string> shownWith;
};

class FakeWindow : public WindowPorts {
public:
    void SetShowChecked(bool c) override { checked = c; }
    void SetCapture() override { ++captures; }
    void ReleaseCapture() override { ++releases; }
    void ShowInformation(const std::string& t) override { information.push_back(t); }
    void ShowZoom(const std::string& t) override { zoom = t; }
    std::string zoom;
    bool checked = false;
    int captures = 0, releases = 0;
    std::vector<std::string> information;
};

// Every port of the commands, each a stand-in, reading and writing BMP only.
struct FakeShell {
    ShellPorts Ports()
    {
        return ShellPorts{messages, errors, dialogs, frame, image, grid, window, codec, [] {}};
    }

    RecordingSink messages;
    FakeErrors errors;
    FakeDialogs dialogs;
    FakeFrame frame;
    FakeImage image;
    FakeGridDialog grid;
    FakeWindow window;
    const BmpOnlyCodec codec;
};

// A 24-bit picture whose pixel (x, y) is (x, y, 200) as blue, green, red.
inline TBitmap Gradient24(std::int32_t width, std::int32_t height)
{
    TBitmap bitmap(width, height, PixelFormat::Rgb24());
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* p = bitmap.Row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = 200;
        }
    return bitmap;
}

// Writes `bitmap` as the bitmap file `name` in `folder`; returns its path.
inline std::string WriteBmp(const TempFolder& folder, const std::string& name, const TBitmap& bitmap)
{
    const std::string path = folder.File(name);
    WriteBytes(path, EncodeBmp(bitmap));
    return path;
}

} // namespace plexor::test

#pragma once

// Stand-ins for the window around the commands: they answer as a user or
// the window system would and record what the commands did to them.

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/bmp_only_codec.h"
#include "app/image_codec.h"
#include "app/main_commands.h"
#include "app/picture_commands.h"
#include "app/settings_store.h"
#include "app/shell_ports.h"
#include "platform/bitmap.h"
#include "platform/bmp_writer.h"
#include "tests/support/files.h"
#include "tests/support/model_setup.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"

namespace plexor::test {

class FakeErrors : public ErrorDisplay {
public:
    void showError(const std::string& message) override { shown.push_back(message); }
    std::vector<std::string> shown;
};

// A dialog's filter entries in one line, as a user reads them:
// "BMP pictures (*.bmp)|*.bmp|All files (*.*)|*.*".
inline std::string filterText(const std::vector<FileFilter>& filters)
{
    std::string text;
    for (const FileFilter& filter : filters) {
        std::string patterns;
        for (const std::string& extension : filter.extensions)
            patterns += (patterns.empty() ? "*." : ";*.") + extension;
        if (patterns.empty()) patterns = "*.*";
        text += (text.empty() ? "" : "|") + filter.name + " (" + patterns + ")|" + patterns;
    }
    return text;
}

// Answers each dialog with the next queued choice; an empty queue cancels.
class FakeDialogs : public FileDialogs {
public:
    std::optional<FileDialogChoice> runOpenDialog(const FileDialogRequest& request) override
    {
        openRequests.push_back(request);
        return next(openAnswers);
    }
    std::optional<FileDialogChoice> runSaveDialog(const FileDialogRequest& request) override
    {
        saveRequests.push_back(request);
        return next(saveAnswers);
    }
    std::deque<std::optional<FileDialogChoice>> openAnswers, saveAnswers;
    std::vector<FileDialogRequest> openRequests, saveRequests;

private:
    static std::optional<FileDialogChoice> next(std::deque<std::optional<FileDialogChoice>>& answers)
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
    std::int32_t screenWidthSetting = 1024, screenHeightSetting = 768;
    std::int32_t frameWidth = 8, frameHeight = 46; // borders, title and menu
    std::int32_t currentContentsWidth = 329, currentContentsHeight = 221;
    std::int32_t x = 190, y = 109;
    std::int32_t panelWidthSetting = 41;

    std::int32_t screenWidth() const override { return screenWidthSetting; }
    std::int32_t screenHeight() const override { return screenHeightSetting; }
    std::int32_t width() const override { return currentContentsWidth + frameWidth; }
    std::int32_t height() const override { return currentContentsHeight + frameHeight; }
    std::int32_t contentsHeight() const override { return currentContentsHeight; }
    std::int32_t panelWidth() const override { return panelWidthSetting; }
    void setContentsWidth(std::int32_t w) override { currentContentsWidth = w; }
    void setContentsHeight(std::int32_t h) override { currentContentsHeight = h; }
    void setX(std::int32_t newX) override { x = newX; }
    void setY(std::int32_t newY) override { y = newY; }
    void fillScreen() override
    {
        ++fills;
        x = y = 0;
        currentContentsWidth = screenWidthSetting - frameWidth;
        currentContentsHeight = screenHeightSetting - frameHeight;
    }
    int fills = 0;
};

// A picture view in a scroll box whose viewport is viewportWidthSetting x
// viewportHeightSetting; it records what it is asked to repaint.
class FakePictureView : public PictureView {
public:
    void showBitmap(const Bitmap& b, const ScreenLook&) override
    {
        bitmap = &b;
        ++shows;
        setZoom(Zoom::actual(), nullptr);
    }
    void setZoom(Zoom z, const ReducedView* r) override
    {
        zoom = z;
        reduced = r;
        shownWidth = bitmap != nullptr ? static_cast<std::int32_t>(z.screenLength(bitmap->width())) : 0;
        shownHeight = bitmap != nullptr ? static_cast<std::int32_t>(z.screenLength(bitmap->height())) : 0;
        scrollTo(scrollX, scrollY);
    }
    void repaintNow(const PixelRect& screen) override
    {
        ++repaints;
        repainted = repainted.united(screen);
    }
    PixelRect visible() const override
    {
        return PixelRect{static_cast<std::int32_t>(scrollX), static_cast<std::int32_t>(scrollY),
                         static_cast<std::int32_t>(scrollX) + viewportWidthSetting,
                         static_cast<std::int32_t>(scrollY) + viewportHeightSetting}
            .intersection(PixelRect{0, 0, shownWidth, shownHeight});
    }
    std::int32_t viewportWidth() const override { return viewportWidthSetting; }
    std::int32_t viewportHeight() const override { return viewportHeightSetting; }
    void scrollTo(std::int64_t x, std::int64_t y) override
    {
        scrollX = std::clamp<std::int64_t>(x, 0, std::max(0, shownWidth - viewportWidthSetting));
        scrollY = std::clamp<std::int64_t>(y, 0, std::max(0, shownHeight - viewportHeightSetting));
    }

    const Bitmap* bitmap = nullptr;
    Zoom zoom;
    const ReducedView* reduced = nullptr;
    int shows = 0;
    int repaints = 0;
    PixelRect repainted; // all the screen pixels repainted, as one rectangle
    std::int32_t viewportWidthSetting = 800, viewportHeightSetting = 600;
    std::int32_t shownWidth = 0, shownHeight = 0;
    std::int64_t scrollX = 0, scrollY = 0;
};

// The grid dialog: records what it was shown with and, when shown, replaces
// the text with the next queued answer, as a user typing would.
class FakeGridDialog : public GridDialogPort {
public:
    void setEditText(const std::string& t) override { text = t; }
    void showModal() override
    {
        shownWith.push_back(text);
        if (!answers.empty()) {
            text = answers.front();
            answers.pop_front();
        }
    }
    std::string editText() const override { return text; }
    std::string text = "5";
    std::deque<std::string> answers;
    std::vector<std::string> shownWith;
};

class FakeWindow : public WindowPorts {
public:
    void captureMouse() override { ++captures; }
    void releaseMouseCapture() override { ++releases; }
    void showInformation(const std::string& t) override { information.push_back(t); }
    void showZoom(const std::string& t) override { zoom = t; }
    // Answers with the next queued choice; Cancel, as Escape does, when none.
    SaveChoice askToSaveChanges(const std::string& name) override
    {
        askedToSave.push_back(name);
        if (saveChoices.empty()) return SaveChoice::Cancel;
        const SaveChoice choice = saveChoices.front();
        saveChoices.pop_front();
        return choice;
    }
    void showNote(const std::string& t) override { notes.push_back(t); }
    void showPointReadout(const std::string& t) override { readout = t; }
    std::string zoom;
    std::string readout;
    std::vector<std::string> notes;
    std::deque<SaveChoice> saveChoices;
    std::vector<std::string> askedToSave;
    int captures = 0, releases = 0;
    std::vector<std::string> information;
};

// Settings kept in memory, by key.
class FakeSettings : public SettingsStore {
public:
    std::vector<std::string> stringList(const std::string& key) const override
    {
        const auto found = values.find(key);
        return found == values.end() ? std::vector<std::string>{} : found->second;
    }
    void setStringList(const std::string& key, const std::vector<std::string>& list) override { values[key] = list; }
    std::map<std::string, std::vector<std::string>> values;
};

// Every port of the commands, each a stand-in, reading and writing BMP only.
struct FakeShell {
    ShellPorts ports()
    {
        return ShellPorts{messages, errors, dialogs, frame, pictureView, grid, window, codec, settings, [] {}};
    }

    RecordingSink messages;
    FakeErrors errors;
    FakeDialogs dialogs;
    FakeFrame frame;
    FakePictureView pictureView;
    FakeGridDialog grid;
    FakeWindow window;
    const BmpOnlyCodec codec;
    FakeSettings settings;
};

// The picture commands over stand-ins of the window, reading and writing
// the formats other than BMP with `codec`.
struct PictureCommandsShell {
    explicit PictureCommandsShell(const ImageCodec& codec)
        : commands(
              model.picture, model.grid, model.work, memory,
              ShellPorts{messages, errors, dialogs, frame, pictureView, gridDialog, window, codec, settings, [] {}})
    {}

    TestModel model;
    MemoryGauge memory;
    RecordingSink messages;
    FakeGridDialog gridDialog;
    FakeErrors errors;
    FakeDialogs dialogs;
    FakeFrame frame;
    FakePictureView pictureView;
    FakeWindow window;
    FakeSettings settings;
    PictureCommands commands;
};

// A 24-bit picture whose pixel (x, y) is (x, y, 200) as blue, green, red.
inline Bitmap gradient24(std::int32_t width, std::int32_t height)
{
    Bitmap bitmap(width, height, PixelFormat::rgb24());
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* p = bitmap.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = 200;
        }
    return bitmap;
}

// Writes `bitmap` as the bitmap file `name` in `folder`; returns its path.
inline std::string writeBmp(const TempFolder& folder, const std::string& name, const Bitmap& bitmap)
{
    const std::string path = folder.file(name);
    writeBytes(path, encodeBmp(bitmap));
    return path;
}

} // namespace plexor::test

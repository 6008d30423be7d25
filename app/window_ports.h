#pragma once

#include <string>

namespace plexor {

// What the user answers when unsaved changes would go.
enum class SaveChoice { Save, Discard, Cancel };

// The rest of the window the commands touch. UI thread only.
class WindowPorts {
public:
    virtual ~WindowPorts() = default;
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

} // namespace plexor

#pragma once

namespace plexor {

// What a refresh needs of the window that shows the view. UI thread only.
class RefreshHost {
public:
    virtual ~RefreshHost() = default;
    // Whether the overlay is switched on (Grid > Show checked).
    virtual bool OverlayVisible() const = 0;
    // Writes ViewImage into the screen bitmap.
    virtual void PushView() = 0;
    // Repaints the picture at once, not later.
    virtual void RepaintImage() = 0;
};

} // namespace plexor

#pragma once

#include <span>

#include "engine/pixel_rect.h"

namespace plexor {

class ReducedView;

// What a refresh needs of the window that shows the view. UI thread only.
class RefreshHost {
public:
    virtual ~RefreshHost() = default;
    // Whether the overlay is switched on (Grid > Show checked).
    virtual bool overlayVisible() const = 0;
    // Writes these parts of viewImage into the screen bitmap.
    virtual void pushView(std::span<const PixelRect> parts) = 0;
    // Shows these parts of the picture again at once, not later.
    virtual void repaintImage(std::span<const PixelRect> parts) = 0;
    // The reduced view the screen shows, while it shows the picture reduced.
    virtual ReducedView* reduced() { return nullptr; }
};

} // namespace plexor

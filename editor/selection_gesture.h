#pragma once

#include <cstdint>
#include <span>

#include "editor/zoom.h"
#include "engine/deform_model.h"

namespace plexor {

// Choosing the points that move together (the model's selection). Choosing
// is no edit: it changes no pixel of the picture and queues nothing; each
// change only marks, for the next refresh, the markers whose colour it
// changes and the band's outline. UI thread only.

// Every interior point chosen; none; point i chosen, or no longer.
void selectAllPoints(DeformModel& model);
void selectNoPoints(DeformModel& model);
void toggleSelected(DeformModel& model, std::int32_t index);

// A gesture begun with Ctrl held, at screen positions as ControlPointDrag
// takes them. Released where it was pressed, without the pointer having
// moved, on a point within reach (pointUnder): that point is chosen, or no
// longer. Once the pointer has moved, the band from the press to the pointer
// is drawn; at the release, the interior points whose displaced positions
// are shown inside it, both corners included, are added to the choice.
class SelectionGesture {
public:
    explicit SelectionGesture(DeformModel& model) noexcept : model_(model) {}
    SelectionGesture(const SelectionGesture&) = delete;
    SelectionGesture& operator=(const SelectionGesture&) = delete;

    void setZoom(Zoom zoom) noexcept { zoom_ = zoom; }
    void press(std::int64_t x, std::int64_t y);
    void move(std::int64_t x, std::int64_t y);
    void release(std::int64_t x, std::int64_t y);
    // Ends the gesture, choosing nothing; the band goes.
    void cancel();
    bool active() const noexcept { return active_; }

private:
    // The picture pixels shown on the screen pixels from the press to (x, y).
    PixelRect bandTo(std::int64_t x, std::int64_t y) const noexcept;
    void showBand(const PixelRect& band);

    DeformModel& model_;
    Zoom zoom_;
    bool active_ = false;
    bool moved_ = false;
    std::int64_t pressX_ = 0, pressY_ = 0;
    std::int32_t pressed_ = -1; // the point within reach of the press
};

} // namespace plexor

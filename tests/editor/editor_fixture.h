#pragma once

// Helpers for the editor's tests: views over plain memory and reading
// pixels back.

#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

#include "editor/drag.h"
#include "editor/refresh.h"
#include "editor/view_canvas.h"
#include "platform/colour.h"
#include "tests/support/colours.h"
#include "tests/support/model_setup.h"

namespace plexor::test {

inline std::ostream& operator<<(std::ostream& out, const Colour& c)
{
    return out << "(b" << int(c.blue) << " g" << int(c.green) << " r" << int(c.red) << ")";
}

inline constexpr Colour kBackground{17, 34, 51};

inline Rgb grey(std::int32_t, std::int32_t)
{
    return Rgb{kBackground.red, kBackground.green, kBackground.blue};
}

// A width x height picture of one colour, with room for `guard` sentinel bytes
// after it, so that a write past the picture shows.
struct TestCanvas {
    static constexpr std::uint8_t kGuard = 0xA5;

    TestCanvas(std::int32_t width, std::int32_t height, std::size_t guard = 64)
        : bytes(static_cast<std::size_t>(width) * height * 3 + guard, kGuard)
    {
        view.pixels = bytes.data();
        view.stride = std::ptrdiff_t{3} * width;
        view.width = width;
        view.height = height;
        view.clip = PixelRect{0, 0, width, height};
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x) set(x, y, kBackground);
    }
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    Colour at(std::int32_t x, std::int32_t y) const
    {
        const std::uint8_t* p = bytes.data() + 3 * (static_cast<std::size_t>(y) * view.width + x);
        return Colour{p[0], p[1], p[2]};
    }
    void set(std::int32_t x, std::int32_t y, Colour c)
    {
        std::uint8_t* p = bytes.data() + 3 * (static_cast<std::size_t>(y) * view.width + x);
        p[0] = c.blue;
        p[1] = c.green;
        p[2] = c.red;
    }
    bool guardIntact() const
    {
        const std::size_t picture = static_cast<std::size_t>(view.width) * view.height * 3;
        for (std::size_t i = picture; i < bytes.size(); ++i)
            if (bytes[i] != kGuard) return false;
        return true;
    }
    // Every pixel that is not the background, row by row.
    std::vector<std::pair<int, int>> painted() const
    {
        std::vector<std::pair<int, int>> out;
        for (std::int32_t y = 0; y < view.height; ++y)
            for (std::int32_t x = 0; x < view.width; ++x)
                if (at(x, y) != kBackground) out.emplace_back(x, y);
        return out;
    }

    std::vector<std::uint8_t> bytes;
    ViewCanvas view;
};

inline Colour viewPixel(const TestModel& m, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p = m.picture.view().colours.data() + 3 * (static_cast<std::size_t>(y) * m.picture.width() + x);
    return Colour{p[0], p[1], p[2]};
}

// How many pixels of the view have colour `c`.
inline int countInView(const TestModel& m, Colour c)
{
    int n = 0;
    for (std::int32_t y = 0; y < m.picture.height(); ++y)
        for (std::int32_t x = 0; x < m.picture.width(); ++x) n += viewPixel(m, x, y) == c;
    return n;
}

// A model holding a plain picture and a grid at `step`, laid as the grid
// command lays it.
inline void loadPictureWithGrid(TestModel& m, std::int32_t width, std::int32_t height, std::int32_t step)
{
    loadPicture(m, width, height, grey);
    m.layGrid(step);
}

// Shows what changed, with the overlay or without it, as the window shows it.
inline RefreshParts show(TestModel& model, bool overlay = true)
{
    return refresh(model.picture, model.grid, model.work, nullptr, overlay);
}

// Drives a drag as the mouse commands drive it, refreshing the model for
// real (overlay on), and writes down every step it asks of the window.
class RecordingDragHost {
public:
    enum class Call { Refresh, Queue, SetCapture, ReleaseCapture };

    explicit RecordingDragHost(TestModel& m) : model(m) {}

    void press(ControlPointDrag& drag, std::int32_t x, std::int32_t y)
    {
        if (drag.dragging()) release(drag);
        if (!drag.press(x, y)) return;
        refresh();
        calls.push_back(Call::SetCapture);
    }
    void move(ControlPointDrag& drag, std::int32_t x, std::int32_t y, bool lockAxis = false)
    {
        if (!drag.dragging()) return;
        take(drag.move(x, y, lockAxis));
        refresh();
    }
    void release(ControlPointDrag& drag)
    {
        const bool held = drag.dragging() && model.picture.hasPicture() && model.grid.exists();
        take(drag.release());
        if (held) refresh();
        calls.push_back(Call::ReleaseCapture);
    }
    int count(Call call) const
    {
        int n = 0;
        for (Call c : calls) n += c == call;
        return n;
    }

    TestModel& model;
    std::vector<Call> calls;
    std::vector<std::pair<std::int32_t, std::int32_t>> queued; // the points whose cells were queued
    std::vector<std::vector<CellRef>> batches;                 // the batches queued whole

private:
    void refresh()
    {
        calls.push_back(Call::Refresh);
        plexor::refresh(model.picture, model.grid, model.work, nullptr, true);
    }
    void take(const DragStep& step)
    {
        const std::int32_t cols = model.grid.shape().pointCols;
        if (step.queueAround >= 0) {
            calls.push_back(Call::Queue);
            queued.emplace_back(step.queueAround % cols, step.queueAround / cols);
        }
        if (!step.batch.empty()) {
            calls.push_back(Call::Queue);
            batches.push_back(step.batch);
        }
    }
};

} // namespace plexor::test

#pragma once

#include <vector>

#include "engine/grid_pass.h"
#include "platform/byte_buffer.h"

namespace plexor {

// The passes of a deformation laid before the one under way, first first,
// and the picture as read, kept once a pass laid over a result has replaced
// the starting picture. A new picture has neither.
class EarlierPasses {
public:
    const std::vector<GridPass>& list() const noexcept { return list_; }
    void setList(std::vector<GridPass> list) { list_ = std::move(list); }
    bool empty() const noexcept { return list_.empty(); }

    // Whether the picture as read is kept here, and that picture with its
    // alpha (empty for an opaque picture).
    bool kept() const noexcept { return !opened_.empty(); }
    const ByteBuffer& openedImage() const noexcept { return opened_; }
    const ByteBuffer& openedAlpha() const noexcept { return openedAlpha_; }
    // Keeps `opened` and `alpha`, whose pixels are the picture as read.
    void keep(ByteBuffer opened, ByteBuffer alpha) noexcept
    {
        opened_ = std::move(opened);
        openedAlpha_ = std::move(alpha);
    }

    // All goes: a new picture.
    void clear() noexcept
    {
        list_.clear();
        opened_.release();
        openedAlpha_.release();
    }

private:
    std::vector<GridPass> list_;
    ByteBuffer opened_, openedAlpha_;
};

} // namespace plexor

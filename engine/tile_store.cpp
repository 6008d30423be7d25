#include "engine/tile_store.h"

#include <algorithm>
#include <cstring>

namespace plexor {

namespace {

// Plane k of `planes` in the order of PixelPlanes::forEach.
template <class Planes>
auto& planeOf(Planes& planes, int k) noexcept
{
    return k == 0 ? planes.colours : k == 1 ? planes.alpha : k == 2 ? planes.low : planes.alphaLow;
}

constexpr std::size_t kPlaneBytes[4] = {3, 1, 3, 1};

} // namespace

void TileStore::reset(std::int32_t width, std::int32_t height, bool alpha, bool deep)
{
    width_ = width;
    alpha_ = alpha;
    deep_ = deep;
    height_ = height;
    columns_ = (width + kTile - 1) / kTile;
    rows_ = (height + kTile - 1) / kTile;
    saved_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
    tiles_.clear();
    offsets_.clear();
    pixels_.clear();
}

PixelRect TileStore::tileRect(std::int32_t tile) const noexcept
{
    const std::int32_t x = tile % columns_ * kTile;
    const std::int32_t y = tile / columns_ * kTile;
    return PixelRect{x, y, std::min(x + kTile, width_), std::min(y + kTile, height_)};
}

std::size_t TileStore::tileBytes(std::int32_t tile) const noexcept
{
    return static_cast<std::size_t>(tileRect(tile).area()) * (alpha_ ? 4 : 3) * (deep_ ? 2 : 1);
}

// Calls copy(plane, picture byte offset, store byte offset, bytes) for each
// row of a tile whose pixels start at `offset` in the store: the colours'
// rows (plane 0), then those of the alpha (1), the low bytes (2) and the
// alpha's low bytes (3) that the store holds.
template <class Copy>
void TileStore::forEachRow(std::int32_t tile, std::size_t offset, Copy&& copy) const
{
    const PixelRect r = tileRect(tile);
    for (int plane = 0; plane < (deep_ ? 4 : 2); ++plane) {
        if (plane % 2 == 1 && !alpha_) continue;
        const std::size_t bytes = kPlaneBytes[plane];
        const std::size_t rowBytes = bytes * static_cast<std::size_t>(r.x1 - r.x0);
        for (std::int32_t y = r.y0; y < r.y1; ++y, offset += rowBytes)
            copy(plane,
                 bytes *
                     (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(r.x0)),
                 offset, rowBytes);
    }
}

void TileStore::save(const PixelPlanes& planes, const PixelRect& rect)
{
    const PixelRect area = rect.intersection(PixelRect{0, 0, width_, height_});
    if (area.empty()) return;
    const std::int32_t c0 = area.x0 / kTile, c1 = (area.x1 - 1) / kTile;
    const std::int32_t r0 = area.y0 / kTile, r1 = (area.y1 - 1) / kTile;
    // Room first, so that a refusal leaves the store as it was.
    std::size_t more = 0, count = 0;
    for (std::int32_t r = r0; r <= r1; ++r)
        for (std::int32_t c = c0; c <= c1; ++c)
            if (saved_[static_cast<std::size_t>(r * columns_ + c)] == 0) {
                more += tileBytes(r * columns_ + c);
                ++count;
            }
    const auto grow = [](auto& v, std::size_t extra) {
        if (v.capacity() < v.size() + extra) v.reserve(std::max(v.size() + extra, 2 * v.capacity()));
    };
    grow(pixels_, more);
    grow(tiles_, count);
    grow(offsets_, count);
    for (std::int32_t r = r0; r <= r1; ++r)
        for (std::int32_t c = c0; c <= c1; ++c) {
            const std::int32_t tile = r * columns_ + c;
            if (saved_[static_cast<std::size_t>(tile)] != 0) continue;
            saved_[static_cast<std::size_t>(tile)] = 1;
            const std::size_t offset = pixels_.size();
            tiles_.push_back(tile);
            offsets_.push_back(offset);
            pixels_.resize(offset + tileBytes(tile));
            forEachRow(tile, offset, [&](int plane, std::size_t at, std::size_t to, std::size_t bytes) {
                std::memcpy(pixels_.data() + to, planeOf(planes, plane).data() + at, bytes);
            });
        }
}

void TileStore::saveLike(const TileStore& other, const PixelPlanes& planes)
{
    reset(other.width_, other.height_, other.alpha_, other.deep_);
    tiles_ = other.tiles_;
    offsets_ = other.offsets_;
    pixels_.resize(other.pixels_.size());
    for (std::size_t i = 0; i < tiles_.size(); ++i)
        forEachRow(tiles_[i], offsets_[i], [&](int plane, std::size_t at, std::size_t to, std::size_t bytes) {
            std::memcpy(pixels_.data() + to, planeOf(planes, plane).data() + at, bytes);
        });
    seal();
}

bool TileStore::tileMatches(std::size_t i, const PixelPlanes& planes) const
{
    bool same = true;
    forEachRow(tiles_[i], offsets_[i], [&](int plane, std::size_t at, std::size_t from, std::size_t bytes) {
        same = same && std::memcmp(planeOf(planes, plane).data() + at, pixels_.data() + from, bytes) == 0;
    });
    return same;
}

void TileStore::restore(PixelPlanes& planes, ChangeRegion& changes) const
{
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        // A tile that holds its saved pixels already needs nothing, and
        // nothing on the screen changes there.
        if (tileMatches(i, planes)) continue;
        forEachRow(tiles_[i], offsets_[i], [&](int plane, std::size_t at, std::size_t from, std::size_t bytes) {
            std::memcpy(planeOf(planes, plane).data() + at, pixels_.data() + from, bytes);
        });
        changes.mark(tileRect(tiles_[i]));
    }
}

bool TileStore::matches(const PixelPlanes& planes) const
{
    for (std::size_t i = 0; i < tiles_.size(); ++i)
        if (!tileMatches(i, planes)) return false;
    return true;
}

void TileStore::seal()
{
    saved_.clear();
    saved_.shrink_to_fit();
    pixels_.shrink_to_fit();
}

} // namespace plexor

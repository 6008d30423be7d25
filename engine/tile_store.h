#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/change_region.h"
#include "engine/pixel_planes.h"
#include "engine/pixel_rect.h"

namespace plexor {

// Pixels of some tiles of a 24-bit picture and of its alpha, if it has one,
// and of the low bytes of both, if it is deep,
// kept to be put back: the picture is cut into squares of kTile pixels
// (smaller at its right and bottom edges), and each is saved at most once.
class TileStore {
public:
    static constexpr std::int32_t kTile = 64;

    // Starts afresh, holding nothing, for a width x height picture, with its
    // alpha or without, deep or not.
    void reset(std::int32_t width, std::int32_t height, bool alpha, bool deep = false);
    // Saves from `planes` (the alpha and low bytes too that the store holds) every tile that
    // meets `rect` and is not saved yet. Throws std::bad_alloc when the
    // memory cannot be had; the store then holds what it held.
    void save(const PixelPlanes& planes, const PixelRect& rect);
    // Saves the same tiles as `other`, from `planes`.
    void saveLike(const TileStore& other, const PixelPlanes& planes);
    // Writes the saved tiles back and marks changed those that were not as
    // saved.
    void restore(PixelPlanes& planes, ChangeRegion& changes) const;
    // Whether `planes` hold the saved pixels in the saved tiles.
    bool matches(const PixelPlanes& planes) const;
    // Whether `other`, saved like this one, holds the same pixels.
    bool samePixels(const TileStore& other) const noexcept
    {
        return tiles_ == other.tiles_ && pixels_ == other.pixels_;
    }
    // Releases the memory of the one-byte-a-tile record of what is saved,
    // once nothing more will be saved.
    void seal();

    bool empty() const noexcept { return tiles_.empty(); }
    std::size_t bytes() const noexcept { return pixels_.capacity() + tiles_.capacity() * sizeof(std::int32_t); }

private:
    PixelRect tileRect(std::int32_t tile) const noexcept;
    std::size_t tileBytes(std::int32_t tile) const noexcept;
    bool tileMatches(std::size_t i, const PixelPlanes& planes) const;
    template <class Copy>
    void forEachRow(std::int32_t tile, std::size_t offset, Copy&& copy) const;

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t columns_ = 0;
    std::int32_t rows_ = 0;
    bool alpha_ = false;
    bool deep_ = false;
    std::vector<std::uint8_t> saved_;  // one byte a tile while saving
    std::vector<std::int32_t> tiles_;  // the tiles saved, in order
    std::vector<std::size_t> offsets_; // where each one's pixels start
    std::vector<std::uint8_t> pixels_;
};

} // namespace plexor

#pragma once

#include <cstdint>

namespace plexor {

// An entry of the cell queue: a cell column and row, or the refresh marker
// that ends a batch.
struct CellRef {
    std::int32_t col = 0;
    std::int32_t row = 0;

    bool isRefreshMarker() const noexcept { return col == -1 && row == -1; }
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

inline constexpr CellRef kRefreshMarker{-1, -1};

} // namespace plexor

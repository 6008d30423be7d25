#pragma once

#include <cstdint>

namespace plexor {

// An entry of the cell queue: a cell column and row, or the refresh marker
// that ends a batch.
struct TCellRef {
    std::int32_t Col = 0;
    std::int32_t Row = 0;

    bool IsRefreshMarker() const noexcept { return Col == -1 && Row == -1; }
    friend bool operator==(const TCellRef&, const TCellRef&) = default;
};

inline constexpr TCellRef RefreshMarker{-1, -1};

} // namespace plexor

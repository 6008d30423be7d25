#pragma once

namespace plexor {

// How a deformation renders its cells: Exact splats each source pixel at its
// truncated destination, filling the gaps around it; Smooth gives each
// destination pixel the source's colour over its preimage (smoothCell).
enum class Resampling { Exact, Smooth };

} // namespace plexor

#pragma once

namespace plexor {

// Which buffer a picture could not get: the first (workImage) or one after it.
enum class MemoryShortfall { Source, Destination };

// The message shown for it: "Not enough memory for source." or "... for
// destination.".
inline const char* shortfallMessage(MemoryShortfall shortfall) noexcept
{
    return shortfall == MemoryShortfall::Source ? "Not enough memory for source."
                                                : "Not enough memory for destination.";
}

} // namespace plexor

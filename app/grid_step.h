#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace plexor {

// Reads the grid step typed into the grid dialog: a whole number of at least
// 1 that fits in 32 bits, blanks around it allowed. On refusal `error` says
// why, with the typed text in it.
std::optional<std::int32_t> parseGridStep(const std::string& text, std::string& error);

} // namespace plexor

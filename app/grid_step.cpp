#include "app/grid_step.h"

#include <charconv>

namespace plexor {

std::optional<std::int32_t> parseGridStep(const std::string& text, std::string& error)
{
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    std::int32_t value = 0;
    bool whole = false;
    if (first != std::string::npos) {
        const char* begin = text.data() + first;
        const char* end = text.data() + last + 1;
        if (*begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
        const auto [stop, code] = std::from_chars(begin, end, value);
        whole = code == std::errc{} && stop == end;
    }
    if (!whole) {
        error = "'" + text + "' is not a valid integer value";
        return std::nullopt;
    }
    if (value < 1) {
        error = "'" + text + "' is not a valid grid step: the step must be at least 1";
        return std::nullopt;
    }
    return value;
}

} // namespace plexor

#pragma once

#include <cstdint>
#include <vector>

namespace plexor {

// Fields of picture files are little-endian whatever the machine.

inline std::uint16_t loadU16(const std::uint8_t* p) noexcept
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t loadU32(const std::uint8_t* p) noexcept
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t loadI32(const std::uint8_t* p) noexcept
{
    return static_cast<std::int32_t>(loadU32(p));
}

inline void storeU16(std::uint8_t* p, std::uint16_t value) noexcept
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void storeU32(std::uint8_t* p, std::uint32_t value) noexcept
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void storeI32(std::uint8_t* p, std::int32_t value) noexcept
{
    storeU32(p, static_cast<std::uint32_t>(value));
}

// Appends a field to a file being built.
inline void appendU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    appendU16(out, static_cast<std::uint16_t>(value));
    appendU16(out, static_cast<std::uint16_t>(value >> 16));
}

} // namespace plexor

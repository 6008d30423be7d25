#include "platform/picture_signature.h"

#include "platform/little_endian.h"

namespace plexor {

bool IsIconSignature(std::span<const std::uint8_t> head) noexcept
{
    if (head.size() < 6) return false;
    const std::uint8_t* p = head.data();
    return LoadU16(p) == 0 && LoadU16(p + 2) == 1 && LoadU16(p + 4) >= 1;
}

bool IsMetafileSignature(std::span<const std::uint8_t> head) noexcept
{
    constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
    constexpr std::uint16_t kHeaderWords = 9;
    constexpr std::size_t kHeaderBytes = 18;
    if (head.size() >= 4 && LoadU32(head.data()) == kPlaceableKey) return true;
    if (head.size() < kHeaderBytes) return false;
    const std::uint8_t* p = head.data();
    const std::uint16_t type = LoadU16(p);
    const std::uint16_t version = LoadU16(p + 4);
    return (type == 1 || type == 2) && LoadU16(p + 2) == kHeaderWords && (version == 0x0100 || version == 0x0300);
}

bool IsEnhancedMetafileSignature(std::span<const std::uint8_t> head) noexcept
{
    constexpr std::uint32_t kHeaderRecord = 1;
    constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
    if (head.size() < 44) return false;
    return LoadU32(head.data()) == kHeaderRecord && LoadU32(head.data() + 40) == kSignature;
}

} // namespace plexor

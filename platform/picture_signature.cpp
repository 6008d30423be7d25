#include "platform/picture_signature.h"

#include "platform/little_endian.h"

namespace plexor {

bool isIconSignature(std::span<const std::uint8_t> head) noexcept
{
    if (head.size() < 6) return false;
    const std::uint8_t* p = head.data();
    return loadU16(p) == 0 && loadU16(p + 2) == 1 && loadU16(p + 4) >= 1;
}

bool isMetafileSignature(std::span<const std::uint8_t> head) noexcept
{
    constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
    constexpr std::uint16_t kHeaderWords = 9;
    constexpr std::size_t kHeaderBytes = 18;
    if (head.size() >= 4 && loadU32(head.data()) == kPlaceableKey) return true;
    if (head.size() < kHeaderBytes) return false;
    const std::uint8_t* p = head.data();
    const std::uint16_t type = loadU16(p);
    const std::uint16_t version = loadU16(p + 4);
    return (type == 1 || type == 2) && loadU16(p + 2) == kHeaderWords && (version == 0x0100 || version == 0x0300);
}

bool isEnhancedMetafileSignature(std::span<const std::uint8_t> head) noexcept
{
    constexpr std::uint32_t kHeaderRecord = 1;
    constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
    if (head.size() < 44) return false;
    return loadU32(head.data()) == kHeaderRecord && loadU32(head.data() + 40) == kSignature;
}

} // namespace plexor

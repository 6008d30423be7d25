#include "platform/row_conversion.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

#include "platform/little_endian.h"

namespace plexor {

namespace {

std::uint32_t loadMaskedPixel(const std::uint8_t* p, std::uint16_t bits) noexcept
{
    return bits == 16 ? loadU16(p) : loadU32(p);
}

inline std::uint32_t packBgr(const std::uint8_t* p) noexcept
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
}

} // namespace

RowExpander::RowExpander(const PixelFormat& format) : bits_(format.bitsPerPixel)
{
    if (format.indexed()) {
        const std::size_t count = std::min<std::size_t>(format.colourTable.size(), 256);
        for (std::size_t i = 0; i < count; ++i) {
            palette_[i * 3 + 0] = format.colourTable[i].blue;
            palette_[i * 3 + 1] = format.colourTable[i].green;
            palette_[i * 3 + 2] = format.colourTable[i].red;
        }
        return;
    }
    if (!format.masked()) return;
    red_ = ChannelMask::from(format.redMask);
    green_ = ChannelMask::from(format.greenMask);
    blue_ = ChannelMask::from(format.blueMask);
    tables_ = red_.bits <= kTableBits && green_.bits <= kTableBits && blue_.bits <= kTableBits;
    if (!tables_) return;
    const ChannelMask* channels[3] = {&blue_, &green_, &red_};
    for (int c = 0; c < 3; ++c) {
        const ChannelMask& channel = *channels[c];
        const std::uint32_t values = static_cast<std::uint32_t>(channel.maxValue()) + 1;
        for (std::uint32_t v = 0; v < values; ++v) channelTables_[c][v] = channel.toByte(v << channel.shift);
    }
}

template <bool kTables>
void RowExpander::expandMasked(const std::uint8_t* source, std::uint8_t* bgr, std::int32_t width) const noexcept
{
    const std::size_t step = bits_ / 8;
    for (std::int32_t x = 0; x < width; ++x, source += step, bgr += 3) {
        const std::uint32_t pixel = loadMaskedPixel(source, bits_);
        if constexpr (kTables) {
            bgr[0] = channelTables_[0][(pixel & blue_.mask) >> blue_.shift];
            bgr[1] = channelTables_[1][(pixel & green_.mask) >> green_.shift];
            bgr[2] = channelTables_[2][(pixel & red_.mask) >> red_.shift];
        } else {
            bgr[0] = blue_.toByte(pixel);
            bgr[1] = green_.toByte(pixel);
            bgr[2] = red_.toByte(pixel);
        }
    }
}

void RowExpander::expand(const std::uint8_t* source, std::uint8_t* bgr, std::int32_t width) const noexcept
{
    switch (bits_) {
    case 1:
        for (std::int32_t x = 0; x < width; ++x, bgr += 3) {
            const unsigned index = (source[x >> 3] >> (7 - (x & 7))) & 1u;
            std::memcpy(bgr, &palette_[index * 3], 3);
        }
        break;
    case 4:
        for (std::int32_t x = 0; x < width; ++x, bgr += 3) {
            const unsigned index = (source[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
            std::memcpy(bgr, &palette_[index * 3], 3);
        }
        break;
    case 8:
        for (std::int32_t x = 0; x < width; ++x, bgr += 3) std::memcpy(bgr, &palette_[std::size_t{source[x]} * 3], 3);
        break;
    case 24: std::memcpy(bgr, source, static_cast<std::size_t>(width) * 3); break;
    case 16:
    case 32:
        if (tables_)
            expandMasked<true>(source, bgr, width);
        else
            expandMasked<false>(source, bgr, width);
        break;
    default: break;
    }
}

RowPacker::RowPacker(const PixelFormat& format, NearestColourCache* matcher)
    : bits_(format.bitsPerPixel), matcher_(matcher)
{
    if (!format.masked()) return;
    const ChannelMask channels[3] = {ChannelMask::from(format.blueMask), ChannelMask::from(format.greenMask),
                                     ChannelMask::from(format.redMask)};
    for (int c = 0; c < 3; ++c)
        for (unsigned v = 0; v < 256; ++v) channelValues_[c][v] = channels[c].fromByte(static_cast<std::uint8_t>(v));
    alphaBits_ = format.alphaMask;
}

void copyRowStreaming(std::uint8_t* target, const std::uint8_t* source, std::size_t bytes) noexcept
{
    // Rows written now are read again only when the picture is painted, long
    // after: bypassing the cache spares reading each target line first.
    std::size_t head = (16 - reinterpret_cast<std::uintptr_t>(target) % 16) % 16;
    if (bytes < 64 || head > bytes) {
        std::memcpy(target, source, bytes);
        return;
    }
    std::memcpy(target, source, head);
    std::size_t at = head;
    for (; at + 16 <= bytes; at += 16)
        _mm_stream_si128(reinterpret_cast<__m128i*>(target + at),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + at)));
    std::memcpy(target + at, source + at, bytes - at);
}

void RowPacker::pack(const std::uint8_t* bgr, std::uint8_t* target, std::int32_t width) noexcept
{
    // A table format with nothing to match against takes its first entry.
    if (bits_ <= 8 && matcher_ == nullptr) {
        std::memset(target, 0, paddedRowBytes(static_cast<std::uint64_t>(width), bits_));
        return;
    }
    switch (bits_) {
    case 1: {
        const std::int32_t whole = width / 8;
        for (std::int32_t i = 0; i < whole; ++i, bgr += 24) {
            unsigned byte = 0;
            for (int k = 0; k < 8; ++k) byte = (byte << 1) | (matcher_->match(packBgr(bgr + 3 * k)) & 1u);
            target[i] = static_cast<std::uint8_t>(byte);
        }
        const std::int32_t rest = width - whole * 8;
        if (rest != 0) {
            unsigned byte = 0;
            for (int k = 0; k < rest; ++k) byte |= (matcher_->match(packBgr(bgr + 3 * k)) & 1u) << (7 - k);
            target[whole] = static_cast<std::uint8_t>(byte);
        }
        break;
    }
    case 4: {
        const std::int32_t whole = width / 2;
        for (std::int32_t i = 0; i < whole; ++i, bgr += 6) {
            const unsigned high = matcher_->match(packBgr(bgr)) & 0xFu;
            const unsigned low = matcher_->match(packBgr(bgr + 3)) & 0xFu;
            target[i] = static_cast<std::uint8_t>((high << 4) | low);
        }
        if (width & 1) target[whole] = static_cast<std::uint8_t>((matcher_->match(packBgr(bgr)) & 0xFu) << 4);
        break;
    }
    case 8: {
        // Neighbouring pixels often share a colour: match only on a change,
        // and test two pixels at once while they repeat. Every pixel but the
        // last is read four bytes at a time.
        std::uint32_t previous = UINT32_MAX;
        std::uint8_t index = 0;
        const std::int32_t last = width - 1;
        std::int32_t x = 0;
        for (; x + 1 < last; x += 2, bgr += 6) {
            const std::uint32_t first = loadU32(bgr) & 0xFFFFFFu;
            const std::uint32_t second = loadU32(bgr + 3) & 0xFFFFFFu;
            if (((first ^ previous) | (second ^ previous)) != 0) {
                if (first != previous) {
                    previous = first;
                    index = matcher_->match(first);
                }
                target[x] = index;
                if (second != previous) {
                    previous = second;
                    index = matcher_->match(second);
                }
                target[x + 1] = index;
                continue;
            }
            target[x] = index;
            target[x + 1] = index;
        }
        for (; x < last; ++x, bgr += 3) target[x] = matcher_->match(loadU32(bgr) & 0xFFFFFFu);
        if (width > 0) target[last] = matcher_->match(packBgr(bgr));
        break;
    }
    case 16:
        for (std::int32_t x = 0; x < width; ++x, bgr += 3, target += 2) {
            const std::uint32_t pixel =
                channelValues_[0][bgr[0]] | channelValues_[1][bgr[1]] | channelValues_[2][bgr[2]] | alphaBits_;
            storeU16(target, static_cast<std::uint16_t>(pixel));
        }
        break;
    case 24: copyRowStreaming(target, bgr, static_cast<std::size_t>(width) * 3); break;
    case 32:
        for (std::int32_t x = 0; x < width; ++x, bgr += 3, target += 4) {
            const std::uint32_t pixel =
                channelValues_[0][bgr[0]] | channelValues_[1][bgr[1]] | channelValues_[2][bgr[2]] | alphaBits_;
            storeU32(target, pixel);
        }
        break;
    default: break;
    }
}

std::uint32_t encodePixel(const PixelFormat& format, std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept
{
    if (format.indexed()) return nearestTableIndex(format.colourTable, red, green, blue);
    if (format.masked())
        return ChannelMask::from(format.redMask).fromByte(red) | ChannelMask::from(format.greenMask).fromByte(green) |
               ChannelMask::from(format.blueMask).fromByte(blue) | format.alphaMask;
    return std::uint32_t{blue} | (std::uint32_t{green} << 8) | (std::uint32_t{red} << 16);
}

} // namespace plexor

#include "platform/picture_completeness.h"

#include <cstddef>

namespace plexor {

namespace {

bool isRestartMarker(std::uint8_t marker) noexcept
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Moves `at` past the entropy-coded data of a scan, to the 0xFF of the
// marker that follows it; false when the file ends first. Inside the data a
// 0xFF byte is followed by 0 (a stuffed byte), by a restart marker, or by
// more 0xFF bytes of fill.
bool skipScanData(std::span<const std::uint8_t> file, std::size_t& at) noexcept
{
    while (at < file.size()) {
        if (file[at] != 0xFF) {
            ++at;
            continue;
        }
        if (at + 1 >= file.size()) return false;
        const std::uint8_t next = file[at + 1];
        if (next == 0x00 || isRestartMarker(next)) {
            at += 2;
        } else if (next == 0xFF) {
            ++at;
        } else {
            return true;
        }
    }
    return false;
}

// Moves `at` past a run of GIF data sub-blocks and its empty terminator.
bool skipSubBlocks(std::span<const std::uint8_t> file, std::size_t& at) noexcept
{
    while (at < file.size()) {
        const std::uint8_t length = file[at++];
        if (length == 0) return true;
        at += length;
    }
    return false;
}

// Bytes of a GIF colour table whose presence and size `flags` give.
std::size_t gifTableBytes(std::uint8_t flags) noexcept
{
    return (flags & 0x80) != 0 ? 3 * (std::size_t{2} << (flags & 0x07)) : 0;
}

} // namespace

bool jpegReachesItsEnd(std::span<const std::uint8_t> file) noexcept
{
    if (file.size() < 2 || file[0] != 0xFF || file[1] != 0xD8) return false;
    std::size_t at = 2;
    while (true) {
        // Stray bytes before a marker are passed over, as decoders do.
        while (at < file.size() && file[at] != 0xFF) ++at;
        while (at < file.size() && file[at] == 0xFF) ++at;
        if (at >= file.size()) return false;
        const std::uint8_t marker = file[at++];
        if (marker == 0xD9) return true;
        // Markers that stand alone, without a length.
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || isRestartMarker(marker)) continue;
        if (file.size() - at < 2) return false;
        const std::size_t length = std::size_t{file[at]} << 8 | file[at + 1];
        if (length < 2 || file.size() - at < length) return false;
        at += length;
        if (marker == 0xDA && !skipScanData(file, at)) return false;
    }
}

bool gifReachesTheEndOfItsFirstFrame(std::span<const std::uint8_t> file) noexcept
{
    constexpr std::size_t kHeaderBytes = 13;
    constexpr std::size_t kDescriptorBytes = 9;
    if (file.size() < kHeaderBytes) return false;
    std::size_t at = kHeaderBytes + gifTableBytes(file[10]);
    while (at < file.size()) {
        const std::uint8_t introducer = file[at++];
        if (introducer == 0x21) {
            // An extension: its label, then its sub-blocks.
            ++at;
            if (!skipSubBlocks(file, at)) return false;
        } else if (introducer == 0x2C) {
            if (file.size() - at < kDescriptorBytes) return false;
            at += kDescriptorBytes + gifTableBytes(file[at + 8]);
            // The code size, then the frame's data.
            ++at;
            return skipSubBlocks(file, at);
        } else {
            // The trailer, or bytes that are neither: no frame.
            return false;
        }
    }
    return false;
}

} // namespace plexor

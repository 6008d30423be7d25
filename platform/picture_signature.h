#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace plexor {

// Icons and metafiles are only recognised, never decoded: a file of the kind
// its extension names must begin as such a file does.

// Bytes from the start of a file that the checks below look at.
inline constexpr std::size_t kSignatureBytes = 64;

// An icon directory: reserved word 0, type 1, at least one image.
bool isIconSignature(std::span<const std::uint8_t> head) noexcept;

// A placeable metafile's key, or a standard metafile header (in memory or on
// disk, header of 9 words, version 1 or 3).
bool isMetafileSignature(std::span<const std::uint8_t> head) noexcept;

// An enhanced metafile: its first record is the header record (type 1) with
// the signature " EMF" at byte 40.
bool isEnhancedMetafileSignature(std::span<const std::uint8_t> head) noexcept;

} // namespace plexor

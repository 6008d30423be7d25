#pragma once

#include <cstdint>
#include <vector>

namespace plexor {

// What a picture file holds beside its pixels and keeps from the file opened
// to every file saved from it: its EXIF block (a TIFF structure), its XMP
// packet, its IPTC records and its colour profile (an ICC profile's bytes),
// each empty where the file has none.
struct PictureMetadata {
    std::vector<std::uint8_t> exif;
    std::vector<std::uint8_t> xmp;
    std::vector<std::uint8_t> iptc;
    std::vector<std::uint8_t> iccProfile;

    bool empty() const noexcept { return exif.empty() && xmp.empty() && iptc.empty() && iccProfile.empty(); }
    bool operator==(const PictureMetadata&) const = default;
};

} // namespace plexor

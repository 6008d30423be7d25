#include "tests/support/crafted_gif.h"

#include <algorithm>

#include "platform/little_endian.h"

namespace plexor::test {

std::vector<std::uint8_t> craftedGif(std::int32_t width, std::int32_t height, const std::vector<Rgb>& palette,
                                     const std::vector<std::uint8_t>& pixels)
{
    // 128 colours: codes start at 8 bits, 128 clears the table, 129 ends.
    constexpr std::uint8_t kCodeBits = 7;
    constexpr std::uint8_t kClear = 128;
    constexpr std::uint8_t kEnd = 129;
    std::vector<std::uint8_t> file = {'G', 'I', 'F', '8', '9', 'a'};
    appendU16(file, static_cast<std::uint16_t>(width));
    appendU16(file, static_cast<std::uint16_t>(height));
    file.push_back(0x80 | (kCodeBits - 1)); // a global table of 2^7 entries
    file.push_back(0);
    file.push_back(0);
    for (std::size_t i = 0; i < 128; ++i) {
        const Rgb colour = i < palette.size() ? palette[i] : Rgb{};
        file.insert(file.end(), {colour.red, colour.green, colour.blue});
    }
    file.push_back(0x2C); // the image descriptor: the whole screen
    appendU16(file, 0);
    appendU16(file, 0);
    appendU16(file, static_cast<std::uint16_t>(width));
    appendU16(file, static_cast<std::uint16_t>(height));
    file.push_back(0);
    file.push_back(kCodeBits);

    // A clear before every hundred literals keeps each code at 8 bits.
    std::vector<std::uint8_t> codes;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i % 100 == 0) codes.push_back(kClear);
        codes.push_back(pixels[i] & 0x7F);
    }
    codes.push_back(kEnd);
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t block = std::min<std::size_t>(255, codes.size() - at);
        file.push_back(static_cast<std::uint8_t>(block));
        file.insert(file.end(), codes.begin() + static_cast<std::ptrdiff_t>(at),
                    codes.begin() + static_cast<std::ptrdiff_t>(at + block));
    }
    file.push_back(0);
    file.push_back(0x3B);
    return file;
}

} // namespace plexor::test

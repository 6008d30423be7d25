// Writes a small seed corpus of our own making into the folder named on the
// command line: one file of each kind the reader takes, so that fuzzing
// starts from inside every branch of the reader even without other samples.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/seed_folder.h"
#include "platform/bitmap.h"
#include "platform/bmp_writer.h"
#include "platform/little_endian.h"

namespace {

using namespace plexor;

// A small picture in `format` whose pixel bytes follow a simple pattern.
Bitmap patterned(std::int32_t width, std::int32_t height, const PixelFormat& format)
{
    Bitmap bitmap(width, height, format);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::size_t b = 0; b < bitmap.stride(); ++b) bitmap.row(y)[b] = static_cast<std::uint8_t>(b * 7 + y * 13);
    return bitmap;
}

std::vector<Colour> table(std::size_t entries)
{
    std::vector<Colour> table(entries);
    for (std::size_t i = 0; i < entries; ++i)
        table[i] = Colour{static_cast<std::uint8_t>(i * 17), static_cast<std::uint8_t>(255 - i * 9),
                          static_cast<std::uint8_t>(i * 5), 0};
    return table;
}

// A run-length file: 40-byte header, a 16-entry table, then `data`.
std::vector<std::uint8_t> runLength(std::uint16_t bits, std::int32_t width, std::int32_t height,
                                    const std::vector<std::uint8_t>& data)
{
    const std::uint32_t offset = 14 + 40 + 16 * 4;
    std::vector<std::uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    appendU32(file, offset + static_cast<std::uint32_t>(data.size()));
    appendU32(file, 0);
    appendU32(file, offset);
    appendU32(file, 40);
    appendU32(file, static_cast<std::uint32_t>(width));
    appendU32(file, static_cast<std::uint32_t>(height));
    appendU16(file, 1);
    appendU16(file, bits);
    appendU32(file, bits == 8 ? 1 : 2);
    appendU32(file, static_cast<std::uint32_t>(data.size()));
    appendU32(file, 0);
    appendU32(file, 0);
    appendU32(file, 16);
    appendU32(file, 0);
    for (const Colour& q : table(16)) {
        file.push_back(q.blue);
        file.push_back(q.green);
        file.push_back(q.red);
        file.push_back(0);
    }
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    const SeedFolder folder(argc, argv);
    folder.write("rgb24.bmp", encodeBmp(patterned(5, 3, PixelFormat::rgb24())));
    folder.write("rgb32.bmp", encodeBmp(patterned(3, 2, PixelFormat::defaultMasked(32))));
    folder.write("rgb16.bmp", encodeBmp(patterned(3, 2, PixelFormat::defaultMasked(16))));
    PixelFormat bitfields = PixelFormat::defaultMasked(16);
    bitfields.redMask = 0xF800;
    bitfields.greenMask = 0x07E0;
    bitfields.blueMask = 0x001F;
    bitfields.usesBitfields = true;
    folder.write("rgb16-565.bmp", encodeBmp(patterned(3, 2, bitfields)));
    folder.write("pal8.bmp", encodeBmp(patterned(5, 3, PixelFormat::indexed(8, table(12)))));
    folder.write("pal4.bmp", encodeBmp(patterned(5, 3, PixelFormat::indexed(4, table(16)))));
    folder.write("pal1.bmp", encodeBmp(patterned(9, 3, PixelFormat::indexed(1, table(2)))));
    PixelFormat core = PixelFormat::indexed(8, table(4));
    core.coreHeader = true;
    folder.write("core-pal8.bmp", encodeBmp(patterned(4, 2, core)));
    // Runs, an absolute run, a line end, a move and the end of the picture.
    folder.write("rle8.bmp", runLength(8, 6, 3, {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 1, 1, 2, 5, 0, 1}));
    folder.write("rle4.bmp", runLength(4, 6, 3, {4, 0x12, 0, 4, 0x34, 0x56, 0, 0, 6, 0x77, 0, 1}));
    return 0;
}

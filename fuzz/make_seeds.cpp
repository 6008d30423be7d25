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
TBitmap Patterned(std::int32_t width, std::int32_t height, const PixelFormat& format)
{
    TBitmap bitmap(width, height, format);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::size_t b = 0; b < bitmap.Stride(); ++b) bitmap.Row(y)[b] = static_cast<std::uint8_t>(b * 7 + y * 13);
    return bitmap;
}

std::vector<RgbQuad> Table(std::size_t entries)
{
    std::vector<RgbQuad> table(entries);
    for (std::size_t i = 0; i < entries; ++i)
        table[i] = RgbQuad{static_cast<std::uint8_t>(i * 17), static_cast<std::uint8_t>(255 - i * 9),
                           static_cast<std::uint8_t>(i * 5), 0};
    return table;
}

// A run-length file: 40-byte header, a 16-entry table, then `data`.
std::vector<std::uint8_t> RunLength(std::uint16_t bits, std::int32_t width, std::int32_t height,
                                    const std::vector<std::uint8_t>& data)
{
    const std::uint32_t offset = 14 + 40 + 16 * 4;
    std::vector<std::uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    AppendU32(file, offset + static_cast<std::uint32_t>(data.size()));
    AppendU32(file, 0);
    AppendU32(file, offset);
    AppendU32(file, 40);
    AppendU32(file, static_cast<std::uint32_t>(width));
    AppendU32(file, static_cast<std::uint32_t>(height));
    AppendU16(file, 1);
    AppendU16(file, bits);
    AppendU32(file, bits == 8 ? 1 : 2);
    AppendU32(file, static_cast<std::uint32_t>(data.size()));
    AppendU32(file, 0);
    AppendU32(file, 0);
    AppendU32(file, 16);
    AppendU32(file, 0);
    for (const RgbQuad& q : Table(16)) {
        file.push_back(q.Blue);
        file.push_back(q.Green);
        file.push_back(q.Red);
        file.push_back(0);
    }
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    const SeedFolder folder(argc, argv);
    folder.Write("rgb24.bmp", EncodeBmp(Patterned(5, 3, PixelFormat::Rgb24())));
    folder.Write("rgb32.bmp", EncodeBmp(Patterned(3, 2, PixelFormat::DefaultMasked(32))));
    folder.Write("rgb16.bmp", EncodeBmp(Patterned(3, 2, PixelFormat::DefaultMasked(16))));
    PixelFormat bitfields = PixelFormat::DefaultMasked(16);
    bitfields.RedMask = 0xF800;
    bitfields.GreenMask = 0x07E0;
    bitfields.BlueMask = 0x001F;
    bitfields.UsesBitfields = true;
    folder.Write("rgb16-565.bmp", EncodeBmp(Patterned(3, 2, bitfields)));
    folder.Write("pal8.bmp", EncodeBmp(Patterned(5, 3, PixelFormat::Indexed(8, Table(12)))));
    folder.Write("pal4.bmp", EncodeBmp(Patterned(5, 3, PixelFormat::Indexed(4, Table(16)))));
    folder.Write("pal1.bmp", EncodeBmp(Patterned(9, 3, PixelFormat::Indexed(1, Table(2)))));
    PixelFormat core = PixelFormat::Indexed(8, Table(4));
    core.CoreHeader = true;
    folder.Write("core-pal8.bmp", EncodeBmp(Patterned(4, 2, core)));
    // Runs, an absolute run, a line end, a move and the end of the picture.
    folder.Write("rle8.bmp", RunLength(8, 6, 3, {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 1, 1, 2, 5, 0, 1}));
    folder.Write("rle4.bmp", RunLength(4, 6, 3, {4, 0x12, 0, 4, 0x34, 0x56, 0, 0, 6, 0x77, 0, 1}));
    return 0;
}

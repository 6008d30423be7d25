#include "test_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>

#include <gtest/gtest.h>

#include "platform/dib_transfer.h"

namespace plexor::test {

std::optional<std::filesystem::path> SharedFolder(const std::string& sub)
{
    const std::filesystem::path folder = std::filesystem::path(PLEXOR_SHARED_DIR) / sub;
    if (!std::filesystem::is_directory(folder)) return std::nullopt;
    return folder;
}

std::vector<std::filesystem::path> BmpFilesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::ostream& operator<<(std::ostream& out, const Rgb& colour)
{
    return out << '(' << int(colour.Red) << ", " << int(colour.Green) << ", " << int(colour.Blue) << ')';
}

Rgb Pixels::At(std::int32_t x, std::int32_t y) const
{
    const std::uint8_t* p = &Bgr[(static_cast<std::size_t>(y) * Width + x) * 3];
    return {p[2], p[1], p[0]};
}

Pixels ToPixels(const TBitmap& bitmap)
{
    Pixels pixels;
    pixels.Width = bitmap.Width();
    pixels.Height = bitmap.Height();
    // Rows of the transfer are padded to 4 bytes; gather them without padding.
    const std::size_t stride = (static_cast<std::size_t>(bitmap.Width()) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> block(stride * bitmap.Height());
    BitmapInfo info{};
    info.bmiHeader.biWidth = bitmap.Width();
    info.bmiHeader.biHeight = -bitmap.Height();
    EXPECT_EQ(GetDIBits(bitmap, 0, bitmap.Height(), block.data(), info), bitmap.Height());
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        pixels.Bgr.insert(pixels.Bgr.end(), block.begin() + static_cast<std::ptrdiff_t>(y * stride),
                          block.begin() + static_cast<std::ptrdiff_t>(y * stride + bitmap.Width() * 3));
    return pixels;
}

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "plexor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::Entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

std::vector<std::uint8_t> CraftedBmp::Build() const
{
    std::vector<std::uint8_t> header;
    Put32(header, HeaderSize);
    if (HeaderSize == 12) {
        Put16(header, static_cast<std::uint32_t>(Width));
        Put16(header, static_cast<std::uint32_t>(Height));
        Put16(header, Planes);
        Put16(header, BitCount);
    } else {
        Put32(header, static_cast<std::uint32_t>(Width));
        Put32(header, static_cast<std::uint32_t>(Height));
        Put16(header, Planes);
        Put16(header, BitCount);
        Put32(header, Compression);
        Put32(header, 0);
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, ClrUsed);
        Put32(header, 0);
        for (std::uint32_t mask : HeaderMasks)
            if (header.size() + 4 <= HeaderSize) Put32(header, mask);
        header.resize(std::max<std::size_t>(header.size(), HeaderSize), 0);
    }
    for (std::uint32_t mask : MasksAfterHeader) Put32(header, mask);
    for (const RgbQuad& quad : Table) {
        header.push_back(quad.Blue);
        header.push_back(quad.Green);
        header.push_back(quad.Red);
        if (HeaderSize != 12) header.push_back(quad.Reserved);
    }
    const std::uint32_t offset = PixelOffset.value_or(static_cast<std::uint32_t>(14 + header.size()));
    std::vector<std::uint8_t> file;
    Put16(file, Type);
    Put32(file, static_cast<std::uint32_t>(14 + header.size() + PixelData.size()));
    Put32(file, 0);
    Put32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), PixelData.begin(), PixelData.end());
    return file;
}

std::vector<std::uint8_t> FilledRows(std::size_t rowBytes, std::int32_t height, std::uint8_t value)
{
    return std::vector<std::uint8_t>(rowBytes * static_cast<std::size_t>(height), value);
}

} // namespace plexor::test

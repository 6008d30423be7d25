// Feeds arbitrary bytes through the whole open path: the choice of format by
// content (and, where the content names none, by an extension taken from the
// last byte), the decoding of every format (libheif's reading of HEIC and
// AVIF files, their profile and metadata included, and of 16-bit PNG and
// TIFF files and deeper HEIC and AVIF ones at their depth), the conversion
// into a bitmap, and the reading of the metadata. Whatever is accepted must
// be a bitmap the program can show, with low bytes that fit it; small
// pictures of the other formats must also survive a lossless save and open,
// every bit of them, and small HEIC and AVIF pictures must be written again
// by libheif's encoders at their depth and open again; metadata read must be
// writable into a small picture, or be refused with a reason.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include <QtGlobal>

#include "app/picture_files.h"
#include "app/qt/heif_writer.h"
#include "app/qt/qt_image_codec.h"
#include "platform/deep_channels.h"
#include "platform/dib_transfer.h"
#include "platform/picture_error.h"

namespace {

using namespace plexor;

// Larger pictures are refused before they are decoded, which keeps each
// input within the fuzzer's time and memory.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 22;
// Pictures up to this many pixels are also saved as PNG and opened again,
// and HEIC and AVIF ones up to the second as what they are.
constexpr std::uint64_t kRoundTripPixels = 64 * 64;
constexpr std::uint64_t kHeifRoundTripPixels = 24 * 24;

constexpr std::string_view kExtensions[] = {"bmp", "png", "jpg", "tif", "webp", "gif", "heic", "avif", "ico"};

void require(bool condition)
{
    if (!condition) std::abort();
}

// Qt reports every damaged file on the console; the fuzzer has no use for it.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// The encoders on one thread: the fuzzer runs one input at a time.
const QtImageCodec& codec()
{
    static const QtImageCodec kCodec(kMaxPixels, 1);
    return kCodec;
}

bool same(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// A HEIC or AVIF picture written again by libheif's encoders, at the depth
// they write it at, opens again as a picture of its size.
void checkHeifWrite(const Picture& picture, PictureFormat format)
{
    const Bitmap& bitmap = picture.bitmap();
    const std::vector<std::uint8_t> file = codec().encode(picture.planes(), format, {}, 50);
    Picture back = decodePicture(file, format, codec());
    require(back.bitmap().width() == bitmap.width() && back.bitmap().height() == bitmap.height());
    require(back.bitDepth() == heifDepthWritten(format, picture.bitDepth(), !picture.alpha().empty()));
    require(!picture.alpha().empty() || back.alpha().empty());
}

void checkPicture(Picture& picture, PictureFormat format)
{
    Bitmap& bitmap = picture.bitmap();
    if (format != PictureFormat::Bmp) {
        require(bitmap.format().bitsPerPixel == 24);
        require(!bitmap.empty());
        require(static_cast<std::uint64_t>(bitmap.width()) * bitmap.height() <= kMaxPixels);
    }
    require(planesFit(picture.planes()));
    require(picture.deep() == (picture.bitDepth() > 8));
    if (bitmap.empty()) return;
    const auto pixels = static_cast<std::uint64_t>(bitmap.width()) * bitmap.height();
    if (format == PictureFormat::Bmp || pixels > kRoundTripPixels) return;
    // Every bit of it, alpha and low bytes included, through PNG.
    const std::vector<std::uint8_t> png = codec().encode(picture.planes(), PictureFormat::Png, {}, {});
    Picture back = decodePicture(png, PictureFormat::Png, codec());
    require(back.bitmap().width() == bitmap.width() && back.bitmap().height() == bitmap.height());
    require(same(back.bitmap().bottomUpRows(), bitmap.bottomUpRows()));
    require(same(back.alpha().bytes(), picture.alpha().bytes()));
    require(same(back.lowBytes().bytes(), picture.lowBytes().bytes()));
    require(same(back.alphaLow().bytes(), picture.alphaLow().bytes()));
    if ((format == PictureFormat::Heic || format == PictureFormat::Avif) && pixels <= kHeifRoundTripPixels)
        checkHeifWrite(picture, format);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> file(data, size);
    const std::string_view extension = size == 0 ? "bmp" : kExtensions[data[size - 1] % std::size(kExtensions)];
    const std::optional<PictureFormat> format =
        formatToRead(file.first(std::min(size, kPictureSignatureBytes)), extension);
    if (!format) return 0;
    try {
        Picture picture = decodePicture(file, *format, codec());
        checkPicture(picture, *format);
    } catch (const PictureError&) {
        // Refused input is the expected outcome for most bytes.
    }
    if (*format == PictureFormat::Bmp || *format == PictureFormat::Gif) return 0;
    try {
        const PictureMetadata metadata = codec().readMetadata(file, *format);
        if (metadata.empty()) return 0;
        const Bitmap small(4, 4, PixelFormat::rgb24());
        const std::vector<std::uint8_t> png = codec().encode({small}, PictureFormat::Png, metadata, {});
        codec().withMetadata(png, PictureFormat::Png, metadata, 4, 4);
        // HEIC and AVIF files take theirs as they are written.
        if (*format == PictureFormat::Heic || *format == PictureFormat::Avif) {
            const std::vector<std::uint8_t> heif = codec().encode({small}, *format, metadata, {});
            codec().withMetadata(heif, *format, metadata, 4, 4);
        }
    } catch (const PictureError&) {
        // Metadata that cannot be read or written is left out with a note.
    }
    return 0;
}

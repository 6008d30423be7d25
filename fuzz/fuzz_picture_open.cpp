// Feeds arbitrary bytes through the whole open path: the choice of format by
// content (and, where the content names none, by an extension taken from the
// last byte), the decoding of every format (libheif's reading of HEIC and
// AVIF files, their profile and metadata included), the conversion into a
// bitmap, and the reading of the metadata. Whatever is accepted must be a
// bitmap the program can show; small pictures of the other formats must
// also survive a lossless save and open, and metadata read must be writable
// into a small picture, or be refused with a reason.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include <QtGlobal>

#include "app/picture_files.h"
#include "app/qt/qt_image_codec.h"
#include "platform/dib_transfer.h"
#include "platform/picture_error.h"

namespace {

using namespace plexor;

// Larger pictures are refused before they are decoded, which keeps each
// input within the fuzzer's time and memory.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 22;
// Pictures up to this many pixels are also saved as PNG and opened again.
constexpr std::uint64_t kRoundTripPixels = 64 * 64;

constexpr std::string_view kExtensions[] = {"bmp", "png", "jpg", "tif", "webp", "gif", "heic", "avif", "ico"};

void require(bool condition)
{
    if (!condition) std::abort();
}

// Qt reports every damaged file on the console; the fuzzer has no use for it.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

const QtImageCodec& codec()
{
    static const QtImageCodec kCodec(kMaxPixels);
    return kCodec;
}

void checkBitmap(Bitmap& bitmap, PictureFormat format)
{
    if (format != PictureFormat::Bmp) {
        require(bitmap.format().bitsPerPixel == 24);
        require(!bitmap.empty());
        require(static_cast<std::uint64_t>(bitmap.width()) * bitmap.height() <= kMaxPixels);
    }
    if (bitmap.empty()) return;
    const auto pixels = static_cast<std::uint64_t>(bitmap.width()) * bitmap.height();
    if (format == PictureFormat::Bmp || pixels > kRoundTripPixels) return;
    const std::vector<std::uint8_t> png = codec().encode(bitmap, {}, PictureFormat::Png, {});
    Picture back = decodePicture(png, PictureFormat::Png, codec());
    const auto a = back.bitmap().bottomUpRows();
    const auto b = bitmap.bottomUpRows();
    require(back.bitmap().width() == bitmap.width() && back.bitmap().height() == bitmap.height());
    require(a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin()));
}

} // namespace

// An AVIF file whose picture has no coded data: libheif (1.15 here) makes
// the AV1 decoder a block of data for it, the decoder refuses the empty
// block ("in->sz" failed in dav1d_send_data), and libheif never gives it
// back: 40 bytes, allocated in the decoder's library, which is what this
// names. Nothing of the program's own is covered.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdav1d.so\n";
}

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
        checkBitmap(picture.bitmap(), *format);
    } catch (const PictureError&) {
        // Refused input is the expected outcome for most bytes.
    }
    if (*format == PictureFormat::Bmp || *format == PictureFormat::Gif) return 0;
    try {
        const PictureMetadata metadata = codec().readMetadata(file, *format);
        if (metadata.empty()) return 0;
        const Bitmap small(4, 4, PixelFormat::rgb24());
        const std::vector<std::uint8_t> png = codec().encode(small, {}, PictureFormat::Png, metadata.iccProfile);
        codec().withMetadata(png, PictureFormat::Png, metadata, 4, 4);
    } catch (const PictureError&) {
        // Metadata that cannot be read or written is left out with a note.
    }
    return 0;
}

#include "app/qt/heif_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <libheif/heif.h>
#include <memory>
#include <string_view>

#include "app/qt/heif_pointer.h"
#include "platform/heif_derived_size.h"
#include "platform/picture_error.h"

// What libheif's coders keep, in a program built with the leak checker,
// which would fail it otherwise; each stack ends in the coder's library,
// which has no frame pointers, so the library is what is named, and nothing
// of the program's own. An AVIF file whose picture has no coded data:
// libheif (1.15 here) makes the AV1 decoder a block of data for it, the
// decoder refuses the empty block ("in->sz" failed in dav1d_send_data), and
// libheif never gives it back, 40 bytes. The HEVC encoder keeps a few blocks
// from each opening of an encoder to the end of the process (x265 3.5, in
// x265_encoder_open). The sanitizer's runtime alone calls this.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdav1d.so\nleak:libx265.so\n";
}

namespace plexor {
namespace {

// No profile or metadata block the program keeps is larger: a larger one
// is left out rather than allocated.
constexpr std::size_t kMaxBlockBytes = std::size_t{16} << 20;

void check(const heif_error& error)
{
    if (error.code != heif_error_Ok) throw PictureError(error.message);
}

// The first metadata block of `type` (and, when given, of `contentType`),
// or nothing when there is none, it is too large or it cannot be read:
// metadata never stops a picture from opening.
std::vector<std::uint8_t> metadataBlock(const heif_image_handle* handle, const char* type, const char* contentType)
{
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, type);
    if (count <= 0) return {};
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    const int listed = heif_image_handle_get_list_of_metadata_block_IDs(handle, type, ids.data(), count);
    for (int i = 0; i < listed; ++i) {
        const heif_item_id id = ids[static_cast<std::size_t>(i)];
        const char* content = heif_image_handle_get_metadata_content_type(handle, id);
        if (contentType != nullptr && (content == nullptr || std::strcmp(content, contentType) != 0)) continue;
        const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
        if (size == 0 || size > kMaxBlockBytes) return {};
        std::vector<std::uint8_t> bytes(size);
        if (heif_image_handle_get_metadata(handle, id, bytes.data()).code != heif_error_Ok) return {};
        return bytes;
    }
    return {};
}

bool startsWith(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view text) noexcept
{
    return bytes.size() >= at + text.size() && std::memcmp(bytes.data() + at, text.data(), text.size()) == 0;
}

// An EXIF block of a HEIF file: the offset of the TIFF header after the
// four bytes that give it, then the header. Some writers put the JPEG
// habit's "Exif\0\0" before the header without counting it in the offset.
std::vector<std::uint8_t> tiffOfExifBlock(const std::vector<std::uint8_t>& block)
{
    using namespace std::string_view_literals;
    if (block.size() < 4) return {};
    const std::size_t offset =
        std::size_t{block[0]} << 24 | std::size_t{block[1]} << 16 | std::size_t{block[2]} << 8 | block[3];
    if (offset > block.size() - 4) return {};
    std::size_t start = 4 + offset;
    if (startsWith(block, start, "Exif\0\0"sv)) start += 6;
    if (!startsWith(block, start, "II*\0"sv) && !startsWith(block, start, "MM\0*"sv)) return {};
    return {block.begin() + static_cast<std::ptrdiff_t>(start), block.end()};
}

std::vector<std::uint8_t> iccProfileOf(const heif_image_handle* handle)
{
    const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > kMaxBlockBytes) return {};
    std::vector<std::uint8_t> profile(size);
    if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok) return {};
    return profile;
}

// The decoded picture's interleaved rows, of channels of type T, split into
// colour and alpha.
template <class T>
void splitRows(const std::uint8_t* rows, int stride, bool alpha, std::vector<T>& colour, std::vector<T>& opacity,
               int width, int height)
{
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    colour.resize(pixels * 3);
    if (alpha) opacity.resize(pixels);
    T* rgb = colour.data();
    T* a = opacity.data();
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const T*>(rows + static_cast<std::ptrdiff_t>(y) * stride);
        if (!alpha) {
            std::memcpy(rgb, from, static_cast<std::size_t>(width) * 3 * sizeof(T));
            rgb += static_cast<std::size_t>(width) * 3;
            continue;
        }
        for (int x = 0; x < width; ++x, from += 4, rgb += 3) {
            rgb[0] = from[0];
            rgb[1] = from[1];
            rgb[2] = from[2];
            *a++ = from[3];
        }
    }
}

// The decoded picture's pixels: of 8 bits a channel, or of 9 to 16 in two
// bytes where `deep` asked for them.
void takePixels(const heif_image* image, bool alpha, bool deep, std::uint64_t maxPixels, HeifPicture& picture)
{
    int stride = 0;
    const std::uint8_t* rows = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    const int bits = heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved);
    const std::size_t sample = deep ? 2 : 1;
    if (rows == nullptr || width <= 0 || height <= 0 || (deep ? bits <= 8 || bits > 16 : bits != 8) ||
        static_cast<std::size_t>(stride) < static_cast<std::size_t>(width) * (alpha ? 4 : 3) * sample)
        throw PictureError("libheif gave no picture of the channels asked for");
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > maxPixels)
        throwPictureTooLarge(width, height);
    picture.width = width;
    picture.height = height;
    picture.bitDepth = bits;
    if (deep)
        splitRows(rows, stride, alpha, picture.deepRgb, picture.deepAlpha, width, height);
    else
        splitRows(rows, stride, alpha, picture.rgb, picture.alpha, width, height);
}

} // namespace

bool heifDecodesHevc() noexcept
{
    return heif_have_decoder_for_format(heif_compression_HEVC) != 0;
}

bool heifDecodesAv1() noexcept
{
    return heif_have_decoder_for_format(heif_compression_AV1) != 0;
}

namespace {

// The largest block the coders cut a picture into, whose size a coded
// picture's is a multiple of.
constexpr std::int64_t kCodedBlock = 64;
// libheif's own limit on either side of a picture, which ours never raises.
constexpr std::int64_t kLibheifSideLimit = 32768;

// The file's primary picture as libheif reads it, and what it keeps beside
// it; its pixels only when `pixels` is set.
HeifPicture readHeifFile(std::span<const std::uint8_t> file, std::uint64_t maxPixels, bool pixels)
{
    // A grid or an overlay is decoded at the size it declares, which no
    // other part of the file need agree with.
    const DeclaredSize derived = pixels ? largestHeifDerivedSize(file) : DeclaredSize{};
    if (std::uint64_t{derived.width} * derived.height > maxPixels) throwPictureTooLarge(derived.width, derived.height);
    const HeifPointer<heif_context> context(heif_context_alloc());
    if (!context) throw std::bad_alloc();
    check(heif_context_read_from_memory_without_copy(context.get(), file.data(), file.size(), nullptr));
    heif_image_handle* primary = nullptr;
    check(heif_context_get_primary_image_handle(context.get(), &primary));
    const HeifPointer<const heif_image_handle> handle(primary);

    // The size after the file's own turns and crops.
    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    if (width <= 0 || height <= 0) throw PictureError("The picture is empty");
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > maxPixels)
        throwPictureTooLarge(width, height);

    HeifPicture picture;
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    picture.alphaPremultiplied = alpha && heif_image_handle_is_premultiplied_alpha(handle.get()) != 0;
    picture.iccProfile = iccProfileOf(handle.get());
    picture.exif = tiffOfExifBlock(metadataBlock(handle.get(), "Exif", nullptr));
    picture.xmp = metadataBlock(handle.get(), "mime", "application/rdf+xml");
    if (!pixels) return picture;

    // The decoder makes each coded picture at the size its stream gives,
    // which need not agree with the file's either. One may exceed the size
    // declared by its blocks' padding, or be as large as a square picture
    // of maxPixels, which the check after decoding refuses in any case.
    const std::int64_t declared =
        std::max<std::int64_t>({heif_image_handle_get_ispe_width(handle.get()),
                                heif_image_handle_get_ispe_height(handle.get()), derived.width, derived.height});
    const auto square = static_cast<std::int64_t>(std::sqrt(static_cast<double>(maxPixels)));
    const std::int64_t limit = std::min(std::max(square, declared + 2 * kCodedBlock) + 1, kLibheifSideLimit);
    heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(limit));

    // A picture of more than 8 bits a channel is decoded at its own depth,
    // every bit of libheif's own decoding kept.
    const bool deep = heif_image_handle_get_luma_bits_per_pixel(handle.get()) > 8;
    const heif_chroma chroma = !deep
                                   ? (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB)
                                   : (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE);
    const HeifPointer<heif_decoding_options> options(heif_decoding_options_alloc());
    if (!options) throw std::bad_alloc();
    options->convert_hdr_to_8bit = 0;
    heif_image* decoded = nullptr;
    check(heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB, chroma, options.get()));
    const HeifPointer<const heif_image> image(decoded);
    takePixels(image.get(), alpha, deep, maxPixels, picture);
    return picture;
}

} // namespace

HeifPicture readHeif(std::span<const std::uint8_t> file, std::uint64_t maxPixels)
{
    return readHeifFile(file, maxPixels, true);
}

HeifPicture readHeifMetadata(std::span<const std::uint8_t> file)
{
    return readHeifFile(file, UINT64_MAX, false);
}

HeifLibrary::HeifLibrary()
{
    heif_init(nullptr);
}

HeifLibrary::~HeifLibrary()
{
    heif_deinit();
}

} // namespace plexor

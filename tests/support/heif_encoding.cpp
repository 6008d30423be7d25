#include "tests/support/heif_encoding.h"

#include <cstring>
#include <libheif/heif.h>
#include <memory>

#include "app/qt/heif_pointer.h"

// The leak checker of a sanitizer build is told of what the encoders keep
// to the end of the process by the image codec (app/qt/heif_reader.cpp),
// which every program that writes HEIC files here links.

namespace plexor::test {
namespace {

// libheif set up for one file: its encoders are gone once the last holder
// of the library has let it go.
struct HeifUse {
    HeifUse() { heif_init(nullptr); }
    ~HeifUse() { heif_deinit(); }
    HeifUse(const HeifUse&) = delete;
    HeifUse& operator=(const HeifUse&) = delete;
};

heif_error appendTo(heif_context*, const void* data, std::size_t size, void* bytes)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(bytes);
    const auto* from = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), from, from + size);
    return {heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

bool ok(const heif_error& error)
{
    return error.code == heif_error_Ok;
}

// Copies the source's pixels, `channels` values of type T each, into the
// image's plane.
template <class T>
void fill(heif_image* image, const std::vector<T>& rgb, const std::vector<T>& alpha, const HeifSource& source,
          int channels)
{
    int stride = 0;
    std::uint8_t* rows = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (std::int32_t y = 0; y < source.height; ++y)
        for (std::int32_t x = 0; x < source.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * source.width + x;
            T* to = reinterpret_cast<T*>(rows + static_cast<std::ptrdiff_t>(y) * stride) + x * channels;
            std::memcpy(to, &rgb[at * 3], 3 * sizeof(T));
            if (channels == 4) to[3] = alpha[at];
        }
}

} // namespace

std::vector<std::uint8_t> encodeHeif(const HeifSource& source, HeifCoding coding)
{
    const HeifUse library;
    const HeifPointer<heif_context> context(heif_context_alloc());
    heif_encoder* encoder = nullptr;
    const heif_compression_format format = coding == HeifCoding::Hevc ? heif_compression_HEVC : heif_compression_AV1;
    if (!ok(heif_context_get_encoder_for_format(context.get(), format, &encoder))) return {};
    const HeifPointer<heif_encoder> ownEncoder(encoder);
    heif_encoder_set_lossy_quality(encoder, 90);
    const bool deep = source.bitDepth > 8;
    const bool alpha = deep ? !source.deepAlpha.empty() : !source.alpha.empty();
    if (coding == HeifCoding::Av1 && source.bitDepth == 10) {
        if (alpha) return {};
        heif_encoder_set_parameter(encoder, "chroma", "422");
    }
    // The encoder on one thread, not on every core the machine has.
    if (coding == HeifCoding::Hevc) {
        heif_encoder_set_parameter(encoder, "x265:pools", "none");
        heif_encoder_set_parameter(encoder, "x265:frame-threads", "1");
    } else {
        heif_encoder_set_parameter(encoder, "threads", "1");
    }

    const heif_chroma chroma = !deep
                                   ? (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB)
                                   : (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE);
    heif_image* image = nullptr;
    if (!ok(heif_image_create(source.width, source.height, heif_colorspace_RGB, chroma, &image))) return {};
    const HeifPointer<heif_image> ownImage(image);
    if (!ok(heif_image_add_plane(image, heif_channel_interleaved, source.width, source.height, source.bitDepth)))
        return {};
    if (deep)
        fill(image, source.deepRgb, source.deepAlpha, source, alpha ? 4 : 3);
    else
        fill(image, source.rgb, source.alpha, source, alpha ? 4 : 3);
    if (!source.iccProfile.empty() &&
        !ok(heif_image_set_raw_color_profile(image, "prof", source.iccProfile.data(), source.iccProfile.size())))
        return {};

    const HeifPointer<heif_encoding_options> options(heif_encoding_options_alloc());
    options->image_orientation = static_cast<heif_orientation>(source.orientation);
    heif_image_handle* handle = nullptr;
    if (!ok(heif_context_encode_image(context.get(), image, encoder, options.get(), &handle))) return {};
    const HeifPointer<heif_image_handle> ownHandle(handle);
    if (!source.exif.empty() && !ok(heif_context_add_exif_metadata(context.get(), handle, source.exif.data(),
                                                                   static_cast<int>(source.exif.size()))))
        return {};
    if (!source.xmp.empty() && !ok(heif_context_add_XMP_metadata(context.get(), handle, source.xmp.data(),
                                                                 static_cast<int>(source.xmp.size()))))
        return {};

    std::vector<std::uint8_t> bytes;
    heif_writer writer{1, appendTo};
    if (!ok(heif_context_write(context.get(), &writer, &bytes))) return {};
    return bytes;
}

} // namespace plexor::test

#include "app/qt/heif_writer.h"

#include <algorithm>
#include <cstring>
#include <libheif/heif.h>
#include <memory>
#include <new>
#include <string>

#include "app/qt/heif_pointer.h"
#include "platform/picture_error.h"

namespace plexor {
namespace {

void check(const heif_error& error)
{
    if (error.code != heif_error_Ok) throw PictureError(error.message);
}

heif_error appendTo(heif_context*, const void* data, std::size_t size, void* bytes)
{
    auto* file = static_cast<std::vector<std::uint8_t>*>(bytes);
    const auto* from = static_cast<const std::uint8_t*>(data);
    file->insert(file->end(), from, from + size);
    return {heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

// The encoder's settings: quiet, at the quality and on the threads asked
// for, and of the one chroma layout that works at each depth. x265 writes
// HEIC at 8, 10 and 12 bits in 4:2:0. The AV1 encoder (libaom 3.6) stops
// the process on an assertion for 10-bit 4:2:0 and 4:4:4 pictures, and
// refuses any 10-bit alpha: 10 bits go in 4:2:2, 8 and 12 in 4:2:0.
void setUp(heif_encoder* encoder, bool hevc, int bitDepth, const HeifEncoding& encoding)
{
    check(heif_encoder_set_lossy_quality(encoder, std::clamp(encoding.quality, 1, 100)));
    check(heif_encoder_set_logging_level(encoder, 0));
    check(heif_encoder_set_parameter(encoder, "chroma", !hevc && bitDepth == 10 ? "422" : "420"));
    if (encoding.threads == 0) return;
    if (hevc) {
        const std::string pool = encoding.threads == 1 ? "none" : std::to_string(encoding.threads);
        check(heif_encoder_set_parameter(encoder, "x265:pools", pool.c_str()));
        check(heif_encoder_set_parameter(encoder, "x265:frame-threads", "1"));
    } else {
        check(
            heif_encoder_set_parameter_integer(encoder, "threads", static_cast<int>(std::min(encoding.threads, 16u))));
    }
}

// The picture's pixels into the image's interleaved plane, of T a channel.
template <class T>
void fill(heif_image* image, const std::vector<T>& rgb, const std::vector<T>& alpha, int width, int height)
{
    int stride = 0;
    std::uint8_t* rows = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    if (rows == nullptr) throw PictureError("libheif gave no plane to write into");
    const std::size_t across = static_cast<std::size_t>(width);
    for (int y = 0; y < height; ++y) {
        auto* to = reinterpret_cast<T*>(rows + static_cast<std::ptrdiff_t>(y) * stride);
        const T* from = rgb.data() + static_cast<std::size_t>(y) * across * 3;
        if (alpha.empty()) {
            std::memcpy(to, from, across * 3 * sizeof(T));
            continue;
        }
        const T* a = alpha.data() + static_cast<std::size_t>(y) * across;
        for (std::size_t x = 0; x < across; ++x, from += 3, to += 4) {
            std::memcpy(to, from, 3 * sizeof(T));
            to[3] = a[x];
        }
    }
}

} // namespace

bool heifEncodesHevc() noexcept
{
    return heif_have_encoder_for_format(heif_compression_HEVC) != 0;
}

bool heifEncodesAv1() noexcept
{
    return heif_have_encoder_for_format(heif_compression_AV1) != 0;
}

int heifDepthWritten(PictureFormat format, int bitDepth, bool alpha) noexcept
{
    if (bitDepth <= 8) return 8;
    if (bitDepth <= 10 && !(format == PictureFormat::Avif && alpha)) return 10;
    return 12;
}

std::vector<std::uint8_t> writeHeif(const HeifPicture& picture, PictureFormat format, const HeifEncoding& encoding)
{
    const bool hevc = format == PictureFormat::Heic;
    if (!hevc && format != PictureFormat::Avif) throw PictureError("libheif writes HEIC and AVIF files only");
    const bool deep = picture.bitDepth > 8;
    const bool alpha = deep ? !picture.deepAlpha.empty() : !picture.alpha.empty();
    if (heifDepthWritten(format, picture.bitDepth, alpha) != picture.bitDepth)
        throw PictureError("the encoder cannot write " + std::to_string(picture.bitDepth) + "-bit pictures");
    const std::size_t pixels =
        static_cast<std::size_t>(std::max(picture.width, 0)) * static_cast<std::size_t>(std::max(picture.height, 0));
    const std::size_t colours = deep ? picture.deepRgb.size() : picture.rgb.size();
    const std::size_t opacities = deep ? picture.deepAlpha.size() : picture.alpha.size();
    if (pixels == 0 || colours != pixels * 3 || (alpha && opacities != pixels))
        throw PictureError("The picture is empty");

    const HeifPointer<heif_context> context(heif_context_alloc());
    if (!context) throw std::bad_alloc();
    heif_encoder* made = nullptr;
    check(
        heif_context_get_encoder_for_format(context.get(), hevc ? heif_compression_HEVC : heif_compression_AV1, &made));
    const HeifPointer<heif_encoder> encoder(made);
    setUp(encoder.get(), hevc, picture.bitDepth, encoding);

    const heif_chroma chroma = !deep
                                   ? (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB)
                                   : (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE);
    heif_image* created = nullptr;
    check(heif_image_create(picture.width, picture.height, heif_colorspace_RGB, chroma, &created));
    const HeifPointer<heif_image> image(created);
    check(heif_image_add_plane(image.get(), heif_channel_interleaved, picture.width, picture.height, picture.bitDepth));
    if (deep)
        fill(image.get(), picture.deepRgb, picture.deepAlpha, picture.width, picture.height);
    else
        fill(image.get(), picture.rgb, picture.alpha, picture.width, picture.height);
    if (!picture.iccProfile.empty())
        check(heif_image_set_raw_color_profile(image.get(), "prof", picture.iccProfile.data(),
                                               picture.iccProfile.size()));

    const HeifPointer<heif_encoding_options> options(heif_encoding_options_alloc());
    if (!options) throw std::bad_alloc();
    options->save_alpha_channel = 1;
    options->image_orientation = heif_orientation_normal;
    heif_image_handle* encoded = nullptr;
    check(heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(), &encoded));
    const HeifPointer<heif_image_handle> handle(encoded);
    if (!picture.exif.empty())
        check(heif_context_add_exif_metadata(context.get(), handle.get(), picture.exif.data(),
                                             static_cast<int>(picture.exif.size())));
    if (!picture.xmp.empty())
        check(heif_context_add_XMP_metadata(context.get(), handle.get(), picture.xmp.data(),
                                            static_cast<int>(picture.xmp.size())));

    std::vector<std::uint8_t> file;
    heif_writer writer{1, appendTo};
    check(heif_context_write(context.get(), &writer, &file));
    return file;
}

} // namespace plexor

// HEIC and AVIF files, made here with libheif's encoders: the reader
// against libheif's own decoding, what the codec makes of them, damaged
// files, and opening, saving and --apply around them.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <libheif/heif.h>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include <QColorSpace>

#include <gtest/gtest.h>

#include "app/headless_apply.h"
#include "app/picture_commands.h"
#include "app/picture_files.h"
#include "app/qt/heif_reader.h"
#include "app/qt/qt_image_codec.h"
#include "platform/deep_channels.h"
#include "platform/picture_error.h"
#include "tests/support/colours.h"
#include "tests/support/crafted_heif.h"
#include "tests/support/files.h"
#include "tests/support/heif_encoding.h"
#include "tests/support/shell_fakes.h"

namespace plexor::test {
namespace {

constexpr HeifCoding kCodings[] = {HeifCoding::Hevc, HeifCoding::Av1};

const char* nameOf(HeifCoding coding)
{
    return coding == HeifCoding::Hevc ? "HEIC" : "AVIF";
}

// 32 x 16 pixels of flat quarters, as stored: red, green above blue,
// white; with alpha 255, 192 above 128, 64.
HeifSource quarters(bool alpha)
{
    HeifSource source;
    source.width = 32;
    source.height = 16;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const int quarter = (y < 8 ? 0 : 2) + (x < 16 ? 0 : 1);
            const Rgb colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            source.rgb.insert(source.rgb.end(), {colours[quarter].red, colours[quarter].green, colours[quarter].blue});
            if (alpha) source.alpha.push_back(static_cast<std::uint8_t>(255 - 64 * quarter));
        }
    return source;
}

// A TIFF block of one entry, the orientation, big-endian.
std::vector<std::uint8_t> exifBlock()
{
    return {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 6, 0, 0, 0, 0, 0, 0};
}

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> bytesOf(const QByteArray& bytes)
{
    return {bytes.begin(), bytes.end()};
}

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::vector<std::uint8_t> alpha;
    // Of a decoding at the picture's own depth.
    int bits = 8;
    std::vector<std::uint16_t> deepRgb;
    std::vector<std::uint16_t> deepAlpha;
};

// libheif's own decoding of the primary picture, with its defaults, or at
// its own depth where `deep` asks for 16-bit channels.
Decoded libheifDecode(const std::vector<std::uint8_t>& file, bool deep = false)
{
    Decoded decoded;
    const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(), heif_context_free);
    EXPECT_EQ(heif_context_read_from_memory_without_copy(context.get(), file.data(), file.size(), nullptr).code,
              heif_error_Ok);
    heif_image_handle* handle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok) return decoded;
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle*)> ownHandle(handle,
                                                                                           heif_image_handle_release);
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    const std::unique_ptr<heif_decoding_options, void (*)(heif_decoding_options*)> options(
        heif_decoding_options_alloc(), heif_decoding_options_free);
    options->convert_hdr_to_8bit = 0;
    const heif_chroma chroma = !deep
                                   ? (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB)
                                   : (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE);
    heif_image* image = nullptr;
    if (heif_decode_image(handle, &image, heif_colorspace_RGB, chroma, deep ? options.get() : nullptr).code !=
        heif_error_Ok)
        return decoded;
    const std::unique_ptr<heif_image, void (*)(const heif_image*)> ownImage(image, heif_image_release);
    decoded.width = heif_image_get_width(image, heif_channel_interleaved);
    decoded.height = heif_image_get_height(image, heif_channel_interleaved);
    decoded.bits = heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* rows = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < decoded.height; ++y)
        for (int x = 0; x < decoded.width; ++x) {
            if (deep) {
                const auto* pixel = reinterpret_cast<const std::uint16_t*>(rows + y * stride) + x * (alpha ? 4 : 3);
                decoded.deepRgb.insert(decoded.deepRgb.end(), pixel, pixel + 3);
                if (alpha) decoded.deepAlpha.push_back(pixel[3]);
                continue;
            }
            const std::uint8_t* pixel = rows + y * stride + x * (alpha ? 4 : 3);
            decoded.rgb.insert(decoded.rgb.end(), pixel, pixel + 3);
            if (alpha) decoded.alpha.push_back(pixel[3]);
        }
    return decoded;
}

// 40 x 24 pixels of `bits`-bit ramps across, down and diagonally, and an
// alpha ramp across where asked for.
HeifSource deepRamps(int bits, bool alpha)
{
    HeifSource source;
    source.width = 40;
    source.height = 24;
    source.bitDepth = bits;
    const int most = (1 << bits) - 1;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
            source.deepRgb.insert(source.deepRgb.end(),
                                  {static_cast<std::uint16_t>(x * most / 39), static_cast<std::uint16_t>(y * most / 23),
                                   static_cast<std::uint16_t>((x + y) * most / 62)});
            if (alpha) source.deepAlpha.push_back(static_cast<std::uint16_t>(most / 4 + x * (most - most / 4) / 39));
        }
    return source;
}

// libheif's decoding at the picture's own depth, as channels16 gives a
// picture's channels: widened to 16 bits, alpha 65535 where there is none.
std::vector<std::uint16_t> widenedChannels(const Decoded& decoded)
{
    std::vector<std::uint16_t> channels;
    for (std::size_t i = 0; i < decoded.deepRgb.size() / 3; ++i) {
        for (std::size_t c = 0; c < 3; ++c)
            channels.push_back(widenedTo16Bits(decoded.deepRgb[3 * i + c], decoded.bits));
        channels.push_back(decoded.deepAlpha.empty() ? 65535 : widenedTo16Bits(decoded.deepAlpha[i], decoded.bits));
    }
    return channels;
}

PictureFormat formatOf(HeifCoding coding)
{
    return coding == HeifCoding::Hevc ? PictureFormat::Heic : PictureFormat::Avif;
}

bool near(int a, int b)
{
    return std::abs(a - b) <= 24;
}

TEST(HeifReader, GivesLibheifsOwnDecodingTurnedWithItsAlphaProfileAndMetadata)
{
    const HeifLibrary library;
    const std::vector<std::uint8_t> profile = bytesOf(QColorSpace(QColorSpace::DisplayP3).iccProfile());
    const std::vector<std::uint8_t> xmp = bytesOf(std::string("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>"));
    for (const HeifCoding coding : kCodings) {
        for (const int orientation : {1, 6}) {
            SCOPED_TRACE(std::string(nameOf(coding)) + ", orientation " + std::to_string(orientation));
            HeifSource source = quarters(true);
            source.iccProfile = profile;
            source.exif = exifBlock();
            source.xmp = xmp;
            source.orientation = orientation;
            const std::vector<std::uint8_t> file = encodeHeif(source, coding);
            ASSERT_FALSE(file.empty()) << "libheif here cannot write " << nameOf(coding);

            const HeifPicture picture = readHeif(file, kMaxBitmapPixels);
            const Decoded expected = libheifDecode(file);
            EXPECT_EQ(picture.width, expected.width);
            EXPECT_EQ(picture.height, expected.height);
            EXPECT_TRUE(picture.rgb == expected.rgb);
            EXPECT_TRUE(picture.alpha == expected.alpha);
            EXPECT_FALSE(picture.alphaPremultiplied);
            EXPECT_EQ(picture.iccProfile, profile);
            EXPECT_EQ(picture.exif, source.exif);
            EXPECT_EQ(picture.xmp, xmp);

            // Turned a quarter clockwise, the stored bottom-left quarter
            // is shown at the top left.
            const bool turned = orientation == 6;
            ASSERT_EQ(picture.width, turned ? 16 : 32);
            ASSERT_EQ(picture.rgb.size(), 3u * 16 * 32);
            ASSERT_EQ(picture.alpha.size(), 16u * 32);
            const auto quarterAt = [&](int x, int y) {
                return turned ? (x < 8 ? 2 : 0) + (y < 16 ? 0 : 1) : (y < 8 ? 0 : 2) + (x < 16 ? 0 : 1);
            };
            const Rgb colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            for (const auto& [x, y] : {std::pair{4, 4}, {12, 4}, {4, 12}, {12, 12}, {4, 28}, {12, 28}, {28, 4}}) {
                if (x >= picture.width || y >= picture.height) continue;
                const std::size_t at = static_cast<std::size_t>(y) * picture.width + x;
                const int quarter = quarterAt(x, y);
                EXPECT_TRUE(near(picture.rgb[at * 3], colours[quarter].red) &&
                            near(picture.rgb[at * 3 + 1], colours[quarter].green) &&
                            near(picture.rgb[at * 3 + 2], colours[quarter].blue))
                    << x << ", " << y;
                EXPECT_TRUE(near(picture.alpha[at], 255 - 64 * quarter)) << x << ", " << y;
            }
        }
    }
}

TEST(HeifReader, APictureWithoutAlphaProfileOrMetadataHasNone)
{
    const HeifLibrary library;
    const std::vector<std::uint8_t> file = encodeHeif(quarters(false), HeifCoding::Hevc);
    const HeifPicture picture = readHeif(file, kMaxBitmapPixels);
    EXPECT_EQ(picture.rgb, libheifDecode(file).rgb);
    EXPECT_TRUE(picture.alpha.empty() && picture.iccProfile.empty() && picture.exif.empty() && picture.xmp.empty());
    EXPECT_THROW(readHeif(file, 32 * 16 - 1), PictureError) << "one pixel more than allowed";
}

TEST(HeifReader, ACodedPictureBeyondTheSizeDeclaredAndThePixelsAllowedIsRefusedBeforeItIsDecoded)
{
    const HeifLibrary library;
    HeifSource coded;
    coded.width = coded.height = 256;
    coded.rgb.assign(256 * 256 * 3, 90);
    std::vector<std::uint8_t> file = encodeHeif(coded, HeifCoding::Hevc);
    // The file says 8 x 8 where its stream codes 256 x 256.
    const std::string_view spatialExtents = "ispe";
    const auto box = std::search(file.begin(), file.end(), spatialExtents.begin(), spatialExtents.end());
    ASSERT_NE(box, file.end());
    const std::uint8_t declared[] = {0, 0, 0, 8, 0, 0, 0, 8};
    std::copy(std::begin(declared), std::end(declared), box + 8);
    try {
        readHeif(file, 1024);
        ADD_FAILURE() << "decoded";
    } catch (const PictureError& error) {
        // libheif's own refusal, not the check of the pixels once decoded.
        EXPECT_NE(std::string(error.what()).find("Security limit exceeded"), std::string::npos) << error.what();
    }
    // Within the pixels allowed, the picture is the one coded.
    EXPECT_EQ(readHeif(file, 256 * 256).width, 256);
}

TEST(HeifReader, TheCodecGivesTheColoursAsTheFileHasThemWithTheAlphaAndTheProfile)
{
    const QtImageCodec codec;
    ASSERT_TRUE(codec.canRead(PictureFormat::Heic) && codec.canRead(PictureFormat::Avif));
    EXPECT_TRUE(codec.canWrite(PictureFormat::Heic) && codec.canWrite(PictureFormat::Avif));
    for (const HeifCoding coding : kCodings) {
        SCOPED_TRACE(nameOf(coding));
        const PictureFormat format = coding == HeifCoding::Hevc ? PictureFormat::Heic : PictureFormat::Avif;
        // libheif's colours and alpha as they are.
        const std::vector<std::uint8_t> file = encodeHeif(quarters(true), coding);
        const Decoded expected = libheifDecode(file);
        Picture picture = codec.decode(file, format);
        const Pixels pixels = toPixels(picture.bitmap());
        ASSERT_EQ(pixels.width, expected.width);
        ASSERT_EQ(picture.alpha().size(), expected.alpha.size());
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * pixels.width + x;
                ASSERT_EQ(pixels.at(x, y),
                          (Rgb{expected.rgb[3 * at], expected.rgb[3 * at + 1], expected.rgb[3 * at + 2]}));
                ASSERT_EQ(picture.alpha()[at], expected.alpha[at]);
            }
        // A profile stays beside the values, which stay as they are.
        HeifSource grey;
        grey.width = grey.height = 16;
        grey.rgb.assign(16 * 16 * 3, 128);
        grey.iccProfile = bytesOf(QColorSpace(QColorSpace::SRgbLinear).iccProfile());
        const std::vector<std::uint8_t> linear = encodeHeif(grey, coding);
        EXPECT_NEAR(toPixels(codec.decode(linear, format).bitmap()).at(8, 8).green, 128, 3);
        EXPECT_EQ(codec.readMetadata(linear, format).iccProfile, grey.iccProfile);
    }
}

TEST(HeifReader, DeepPicturesOpenWithEveryBitOfLibheifsOwnDecoding)
{
    const QtImageCodec codec;
    for (const HeifCoding coding : kCodings) {
        for (const int bits : {10, 12}) {
            SCOPED_TRACE(std::string(nameOf(coding)) + ", " + std::to_string(bits) + " bits");
            // The AV1 encoder here writes no 10-bit alpha.
            const bool alpha = !(coding == HeifCoding::Av1 && bits == 10);
            const std::vector<std::uint8_t> file = encodeHeif(deepRamps(bits, alpha), coding);
            ASSERT_FALSE(file.empty());
            const Decoded expected = libheifDecode(file, true);
            ASSERT_EQ(expected.bits, bits);
            const HeifPicture read = readHeif(file, kMaxBitmapPixels);
            EXPECT_EQ(read.bitDepth, bits);
            EXPECT_TRUE(read.deepRgb == expected.deepRgb && read.deepAlpha == expected.deepAlpha);
            EXPECT_TRUE(read.rgb.empty() && read.alpha.empty());
            const Picture picture = codec.decode(file, formatOf(coding));
            EXPECT_EQ(picture.bitDepth(), bits);
            EXPECT_EQ(picture.alphaLow().empty(), !alpha);
            EXPECT_TRUE(channels16(picture) == widenedChannels(expected));
        }
    }
}

class HeifFiles : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        writeBytes(folder_.path() / name, bytes);
        return folder_.file(name);
    }

    // The encoders on one thread, not on every core the machine has.
    const QtImageCodec codec_{kMaxBitmapPixels, 1};
    TempFolder folder_;
    PictureCommandsShell shell_{codec_};
    PictureCommands& commands_ = shell_.commands;
};

TEST_F(HeifFiles, ADamagedOrCutFileGivesTheUsualMessageAndChangesNothing)
{
    ASSERT_TRUE(commands_.openFile(writeBmp(folder_, "start.bmp", gradient24(12, 10))));
    const std::vector<std::uint8_t> whole = encodeHeif(quarters(true), HeifCoding::Hevc);
    std::vector<std::uint8_t> scrambled = whole;
    for (std::size_t i = 16; i < scrambled.size() / 2; ++i) scrambled[i] = static_cast<std::uint8_t>(i * 7);
    const std::vector<std::vector<std::uint8_t>> damaged = {
        {whole.begin(), whole.begin() + 40},
        {whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)},
        {whole.begin(), whole.end() - 1},
        scrambled};
    for (const std::vector<std::uint8_t>& bytes : damaged) {
        SCOPED_TRACE(std::to_string(bytes.size()) + " bytes");
        const std::string path = write("broken.heic", bytes);
        shell_.errors.shown.clear();
        EXPECT_FALSE(commands_.openFile(path));
        ASSERT_EQ(shell_.errors.shown.size(), 1u);
        const std::string prefix = "Cannot read the HEIC picture " + path + ": ";
        EXPECT_EQ(shell_.errors.shown[0].rfind(prefix, 0), 0u) << shell_.errors.shown[0];
        EXPECT_GT(shell_.errors.shown[0].size(), prefix.size());
        EXPECT_EQ(shell_.model.picture.width(), 12);
        EXPECT_EQ(commands_.openedPath(), folder_.file("start.bmp"));
    }
    // A grid declaring more pixels than a picture may have is refused before
    // the decoder makes room for them, whatever size the file gives elsewhere.
    const std::string bomb = write("bomb.heic", craftedHeif({{"hvc1", std::vector<std::uint8_t>(40, 7)},
                                                             {"grid", gridDescription(32256, 9989, false), true}},
                                                            1));
    shell_.errors.shown.clear();
    EXPECT_FALSE(commands_.openFile(bomb));
    EXPECT_EQ(shell_.errors.shown, std::vector<std::string>{"Cannot read the HEIC picture " + bomb +
                                                            ": The picture is too large (32256 x 9989 pixels)"});
    EXPECT_EQ(shell_.model.picture.width(), 12);
}

TEST_F(HeifFiles, TheContentDecidesTheFormatAndSaveAsProposesItsOwn)
{
    for (const HeifCoding coding : kCodings) {
        SCOPED_TRACE(nameOf(coding));
        const std::string path = write("phone.jpg", encodeHeif(quarters(false), coding));
        ASSERT_TRUE(commands_.openFile(path));
        EXPECT_EQ(shell_.model.picture.width(), 32);
        commands_.savePictureAs();
        const bool hevc = coding == HeifCoding::Hevc;
        EXPECT_EQ(shell_.dialogs.saveRequests.back().fileName, folder_.file(hevc ? "phone.heic" : "phone.avif"));
        EXPECT_EQ(shell_.dialogs.saveRequests.back().filterIndex, hevc ? 6 : 7);
    }
}

// The largest difference of two pictures' colours, in 10-bit units, and
// their peak signal-to-noise ratio in decibels.
std::pair<int, double> closeness(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b)
{
    if (a.size() != b.size() || a.empty()) return {1023, 0};
    int largest = 0;
    double squares = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int difference = i % 4 == 3 ? 0 : std::abs((a[i] >> 6) - (b[i] >> 6)); // colours, not alpha
        largest = std::max(largest, difference);
        squares += static_cast<double>(difference) * difference;
    }
    const double mean = squares / static_cast<double>(a.size() / 4 * 3);
    return {largest, mean == 0 ? 99 : 10 * std::log10(1023.0 * 1023.0 / mean)};
}

TEST_F(HeifFiles, PicturesAreSavedAtTheirOwnDepthAndOpenCloseToThePictureSaved)
{
    struct Source {
        HeifCoding coding;
        int bits;
        bool alpha;
    };
    // 10-bit AVIF with alpha is not made here: it comes from the HEIC one.
    const Source sources[] = {{HeifCoding::Hevc, 8, true},
                              {HeifCoding::Hevc, 10, true},
                              {HeifCoding::Hevc, 12, true},
                              {HeifCoding::Av1, 10, false},
                              {HeifCoding::Av1, 12, true}};
    for (const Source& source : sources) {
        HeifSource made = source.bits == 8 ? quarters(source.alpha) : deepRamps(source.bits, source.alpha);
        const std::string path = write("source.heif", encodeHeif(made, source.coding));
        const OpenedPicture opened = openPicture(path, codec_);
        ASSERT_EQ(opened.picture.bitDepth(), source.bits);
        for (const HeifCoding coding : kCodings) {
            SCOPED_TRACE(std::string(nameOf(source.coding)) + " of " + std::to_string(source.bits) + " bits as " +
                         nameOf(coding));
            const std::string saved = folder_.file(coding == HeifCoding::Hevc ? "saved.heic" : "saved.avif");
            EXPECT_EQ(savePicture(opened.picture.planes(), {}, saved, formatOf(coding), codec_), "");
            const std::vector<std::uint8_t> file = readBytes(saved);
            const bool promoted = coding == HeifCoding::Av1 && source.bits == 10 && source.alpha;
            EXPECT_EQ(libheifDecode(file, source.bits > 8).bits, promoted ? 12 : source.bits);
            const OpenedPicture again = openPicture(saved, codec_);
            EXPECT_EQ(again.picture.alpha().empty(), !source.alpha);
            // Seen: at most 19 and 40 dB, for 4:2:2 pictures (10-bit AVIF)
            // saved in the 4:2:0 of HEIC; 4 to 10 and 52 to 75 dB otherwise.
            const auto [largest, psnr] = closeness(channels16(again.picture), channels16(opened.picture));
            EXPECT_LE(largest, 24);
            EXPECT_GE(psnr, 38);
        }
    }
}

// What the process writes on its standard error while `work` runs.
std::string standardErrorOf(const std::function<void()>& work)
{
    std::fflush(stderr);
    const int kept = ::dup(2);
    std::FILE* capture = std::tmpfile();
    ::dup2(::fileno(capture), 2);
    work();
    std::fflush(stderr);
    ::dup2(kept, 2);
    ::close(kept);
    std::string written(static_cast<std::size_t>(std::ftell(capture)), '\0');
    std::rewind(capture);
    written.resize(std::fread(written.data(), 1, written.size(), capture));
    std::fclose(capture);
    return written;
}

TEST_F(HeifFiles, TheEncodersTakeTheQualityAskedForAndSayNothingOfTheirOwn)
{
    // x265 has warnings about so small a picture, which it prints itself.
    const Picture picture = codec_.decode(encodeHeif(deepRamps(10, false), HeifCoding::Hevc), PictureFormat::Heic);
    for (const HeifCoding coding : kCodings) {
        SCOPED_TRACE(nameOf(coding));
        const PictureFormat format = formatOf(coding);
        std::size_t standard = 0;
        std::size_t low = 0;
        EXPECT_EQ(standardErrorOf([&] {
                      standard = codec_.encode(picture.planes(), format, {}, {}).size();
                      low = codec_.encode(picture.planes(), format, {}, 20).size();
                  }),
                  "");
        EXPECT_LT(low, standard);
    }
}

TEST_F(HeifFiles, ApplyWritesThemInTheFormatNamedOrIntoAFolderInTheirOwn)
{
    HeifSource source = quarters(false);
    source.orientation = 6; // 16 x 32 as shown
    const std::string heic = write("phone.heic", encodeHeif(source, HeifCoding::Hevc));
    const std::string avif = write("web.avif", encodeHeif(source, HeifCoding::Av1));
    const std::string grid = folder_.file("bend.grid");
    writeText(grid, "plexor-grid 1\nsize 16 32\nstep 4\npoint 2 3 1 -2\n");
    std::filesystem::create_directory(folder_.path() / "out");
    std::ostringstream errors;
    FileWriteOps writes;
    const HeadlessServices services{codec_, writes, ParallelDeformOptions{}, systemAvailableMemory, errors};
    EXPECT_EQ(applyGridToFiles(HeadlessApply{grid, {heic}, folder_.file("phone.jpg"), "", ""}, services), 0u);
    EXPECT_EQ(applyGridToFiles(HeadlessApply{grid, {heic, avif}, "", folder_.file("out"), ""}, services), 0u);
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(openPicture(folder_.file("phone.jpg"), codec_).format, PictureFormat::Jpeg);
    // What the HEIC file keeps beside its pixels goes into the JPEG.
    source.exif = exifBlock();
    source.xmp = bytesOf(
        std::string("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                    "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description "
                    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" dc:format=\"image/heic\"/></rdf:RDF></x:xmpmeta>"));
    source.iccProfile = bytesOf(QColorSpace(QColorSpace::DisplayP3).iccProfile());
    writeBytes(heic, encodeHeif(source, HeifCoding::Hevc));
    EXPECT_EQ(applyGridToFiles(HeadlessApply{grid, {heic}, folder_.file("tagged.jpg"), "", ""}, services), 0u);
    EXPECT_EQ(errors.str(), "");
    const PictureMetadata kept = codec_.readMetadata(readBytes(folder_.file("tagged.jpg")), PictureFormat::Jpeg);
    EXPECT_EQ(kept.iccProfile, source.iccProfile);
    EXPECT_FALSE(kept.exif.empty());
    EXPECT_NE(std::string(kept.xmp.begin(), kept.xmp.end()).find("image/heic"), std::string::npos);
    for (const auto& [name, format] :
         {std::pair{"out/phone.heic", PictureFormat::Heic}, {"out/web.avif", PictureFormat::Avif}}) {
        OpenedPicture written = openPicture(folder_.file(name), codec_);
        EXPECT_EQ(written.format, format) << name;
        EXPECT_EQ(written.picture.bitmap().height(), 32) << name;
    }
}

} // namespace
} // namespace plexor::test

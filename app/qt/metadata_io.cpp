#include "app/qt/metadata_io.h"

#include <exception>
#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/picture_error.h"

namespace plexor {
namespace {

// Once for the process: the XMP toolkit before any thread uses it, and no
// warnings of exiv2's own on standard error, where --apply writes one line
// for each picture not written.
void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

// How exiv2 tells a format's files and opens one, for the formats whose
// metadata it reads and writes here.
struct ExivFormat {
    bool (*isOfType)(Exiv2::BasicIo& io, bool advance);
    Exiv2::Image::AutoPtr (*open)(Exiv2::BasicIo::AutoPtr io, bool create);
};

std::optional<ExivFormat> exivFormat(PictureFormat format) noexcept
{
    switch (format) {
    case PictureFormat::Jpeg: return ExivFormat{Exiv2::isJpegType, Exiv2::newJpegInstance};
    case PictureFormat::Png: return ExivFormat{Exiv2::isPngType, Exiv2::newPngInstance};
    case PictureFormat::Tiff: return ExivFormat{Exiv2::isTiffType, Exiv2::newTiffInstance};
    case PictureFormat::Webp: return ExivFormat{Exiv2::isWebPType, Exiv2::newWebPInstance};
    default: return std::nullopt;
    }
}

// The file opened by exiv2 as the format it was opened as, and only so: no
// parser of another format (of a video container, say) ever sees it, not
// even to tell what it is.
Exiv2::Image::AutoPtr openInMemory(std::span<const std::uint8_t> file, PictureFormat format)
{
    const std::optional<ExivFormat> known = exivFormat(format);
    if (!known) throw PictureError("the file's format holds no metadata");
    auto io = std::make_unique<Exiv2::MemIo>(reinterpret_cast<const Exiv2::byte*>(file.data()),
                                             static_cast<long>(file.size()));
    const bool ofType = io->open() == 0 && known->isOfType(*io, false);
    io->close();
    if (!ofType) throw PictureError("the file's metadata is not where its format keeps it");
    Exiv2::Image::AutoPtr image = known->open(Exiv2::BasicIo::AutoPtr(io.release()), false);
    if (image.get() == nullptr) throw PictureError("the file's metadata is not where its format keeps it");
    return image;
}

std::vector<std::uint8_t> bytesOf(const Exiv2::byte* data, long size)
{
    return size > 0 ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>();
}

// The picture as it is saved: upright, of its own size, without a thumbnail.
void describeSavedPicture(Exiv2::ExifData& exif, Exiv2::XmpData& xmp, std::int32_t width, std::int32_t height)
{
    if (!exif.empty()) {
        Exiv2::ExifThumb(exif).erase();
        exif["Exif.Image.Orientation"] = std::uint16_t{1};
        exif["Exif.Photo.PixelXDimension"] = static_cast<std::uint32_t>(width);
        exif["Exif.Photo.PixelYDimension"] = static_cast<std::uint32_t>(height);
    }
    const auto update = [&xmp](const char* key, std::int32_t value) {
        const Exiv2::XmpKey name(key);
        if (xmp.findKey(name) != xmp.end()) xmp[key] = std::to_string(value);
    };
    update("Xmp.tiff.Orientation", 1);
    update("Xmp.tiff.ImageWidth", width);
    update("Xmp.tiff.ImageLength", height);
    update("Xmp.exif.PixelXDimension", width);
    update("Xmp.exif.PixelYDimension", height);
}

// The EXIF and XMP of `metadata`, decoded and made to describe the saved
// picture.
void decodeForSaving(const PictureMetadata& metadata, std::int32_t width, std::int32_t height, Exiv2::ExifData& exif,
                     Exiv2::XmpData& xmp)
{
    if (!metadata.exif.empty())
        Exiv2::ExifParser::decode(exif, metadata.exif.data(), static_cast<std::uint32_t>(metadata.exif.size()));
    if (!metadata.xmp.empty() &&
        Exiv2::XmpParser::decode(xmp, std::string(metadata.xmp.begin(), metadata.xmp.end())) != 0)
        throw PictureError("its XMP packet cannot be read again");
    describeSavedPicture(exif, xmp, width, height);
}

} // namespace

PictureMetadata readPictureMetadata(std::span<const std::uint8_t> file, PictureFormat format)
{
    initialiseOnce();
    try {
        Exiv2::Image::AutoPtr image = openInMemory(file, format);
        image->readMetadata();
        PictureMetadata metadata;
        if (!image->exifData().empty()) {
            Exiv2::Blob blob;
            Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, image->exifData());
            metadata.exif.assign(blob.begin(), blob.end());
        }
        if (!image->xmpData().empty()) {
            std::string packet;
            if (Exiv2::XmpParser::encode(packet, image->xmpData()) == 0)
                metadata.xmp.assign(packet.begin(), packet.end());
        }
        if (!image->iptcData().empty()) {
            const Exiv2::DataBuf records = Exiv2::IptcParser::encode(image->iptcData());
            metadata.iptc = bytesOf(records.pData_, records.size_);
        }
        if (image->iccProfileDefined())
            metadata.iccProfile = bytesOf(image->iccProfile()->pData_, image->iccProfile()->size_);
        return metadata;
    } catch (const Exiv2::AnyError& error) {
        throw PictureError(error.what());
    } catch (const std::exception& error) {
        throw PictureError(error.what());
    }
}

std::vector<std::uint8_t> writePictureMetadata(std::span<const std::uint8_t> file, PictureFormat format,
                                               const PictureMetadata& metadata, std::int32_t width, std::int32_t height)
{
    initialiseOnce();
    try {
        Exiv2::ExifData exif;
        Exiv2::XmpData xmp;
        decodeForSaving(metadata, width, height, exif, xmp);
        Exiv2::IptcData iptc;
        if (!metadata.iptc.empty() && Exiv2::IptcParser::decode(iptc, metadata.iptc.data(),
                                                                static_cast<std::uint32_t>(metadata.iptc.size())) != 0)
            throw PictureError("its IPTC records cannot be read again");

        Exiv2::Image::AutoPtr image = openInMemory(file, format);
        image->readMetadata();
        image->setExifData(exif);
        image->setXmpData(xmp);
        if (format != PictureFormat::Webp) image->setIptcData(iptc);
        // A profile the picture's encoder could not embed.
        if (!metadata.iccProfile.empty() && !image->iccProfileDefined()) {
            Exiv2::DataBuf profile(metadata.iccProfile.data(), static_cast<long>(metadata.iccProfile.size()));
            image->setIccProfile(profile, false);
        }
        image->writeMetadata();

        Exiv2::BasicIo& io = image->io();
        if (io.open() != 0) throw PictureError("the file written cannot be read back");
        const Exiv2::DataBuf written = io.read(static_cast<long>(io.size()));
        io.close();
        return bytesOf(written.pData_, written.size_);
    } catch (const Exiv2::AnyError& error) {
        throw PictureError(error.what());
    } catch (const std::exception& error) {
        throw PictureError(error.what());
    }
}

PictureMetadata metadataAsSaved(const PictureMetadata& metadata, std::int32_t width, std::int32_t height)
{
    initialiseOnce();
    try {
        Exiv2::ExifData exif;
        Exiv2::XmpData xmp;
        decodeForSaving(metadata, width, height, exif, xmp);
        PictureMetadata saved;
        if (!exif.empty()) {
            Exiv2::Blob blob;
            Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
            saved.exif.assign(blob.begin(), blob.end());
        }
        if (!xmp.empty()) {
            std::string packet;
            if (Exiv2::XmpParser::encode(packet, xmp) != 0) throw PictureError("its XMP packet cannot be written");
            saved.xmp.assign(packet.begin(), packet.end());
        }
        saved.iccProfile = metadata.iccProfile;
        return saved;
    } catch (const Exiv2::AnyError& error) {
        throw PictureError(error.what());
    } catch (const std::exception& error) {
        throw PictureError(error.what());
    }
}

} // namespace plexor

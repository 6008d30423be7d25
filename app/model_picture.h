#pragma once

// A picture file's way into the picture buffers and out again, shared by the
// window and by headless application: the picture widened to the buffers'
// width, its pixels read into them, and the work plane written back.

#include <optional>
#include <string>

#include "app/image_codec.h"
#include "app/picture_files.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/memory_shortfall.h"
#include "engine/picture_buffers.h"
#include "platform/dib_transfer.h"

namespace plexor {

// Opens `path` (openPicture) and widens its bitmap with black (and its alpha
// with transparent, and the low bytes of a deeper picture alike) to the next
// multiple of 4 pixels across, as the buffers hold it. Throws PictureError.
OpenedPicture openWidened(const std::string& path, const ImageCodec& codec);

// The buffers' planes as a bitmap format: 24-bit rows, top to bottom.
DibHeader bufferFormatFor(std::int32_t width, std::int32_t height);

// What loading a picture came to.
struct PictureLoad {
    // The buffers that could not be had: then nothing has changed.
    std::optional<MemoryShortfall> shortfall;
    // Whether the bitmap's pixels were read ("GetDIBits failed" when not: the
    // picture is then black).
    bool pixelsRead = false;
};

// Gives `picture` (widened) buffers of its own in `available` bytes and reads
// its pixels, alpha and low bytes into them, releasing those the picture
// held beside its bitmap, a new picture: the grid goes when it was laid for
// another size, the choice of points and the earlier passes go whatever the
// size. The worker must be held.
PictureLoad loadPicture(PictureBuffers& buffers, ControlGrid& grid, CellWork& work, Picture& picture,
                        std::uint64_t available);

// The alpha of a plane of the buffers, rows top to bottom; empty when the
// picture is opaque.
std::span<const std::uint8_t> alphaRows(const PictureBuffers& buffers, const PixelPlanes& planes);

// `bitmap` (the high bytes) as a writer takes it, with the alpha of
// `planes` and, for a deep picture, the low bytes of work, at `bitDepth`.
PicturePlanes planesToSave(const Bitmap& bitmap, const PictureBuffers& buffers, const PixelPlanes& planes,
                           int bitDepth);

// Writes the work plane into `bitmap`, of the buffers' size, in its own
// pixel format; false when the transfer fails.
bool storeWork(const PictureBuffers& buffers, Bitmap& bitmap);

} // namespace plexor

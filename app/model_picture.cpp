#include "app/model_picture.h"

#include <cstring>
#include <utility>

#include "engine/grid_laying.h"
#include "platform/deep_channels.h"

namespace plexor {

OpenedPicture openWidened(const std::string& path, const ImageCodec& codec)
{
    OpenedPicture opened = openPicture(path, codec);
    Picture& picture = opened.picture;
    Bitmap& bitmap = picture.bitmap();
    bitmap.setBrushColour(0);
    const std::int32_t rest = bitmap.width() % 4;
    if (rest == 0) return opened;
    const std::int32_t before = bitmap.width();
    const std::int32_t after = before - rest + 4;
    // The new columns are black, and transparent in a picture with alpha,
    // down to the low bytes of a deeper picture.
    for (const auto& [plane, bytes] :
         {std::pair{&picture.alpha(), 1}, {&picture.lowBytes(), 3}, {&picture.alphaLow(), 1}})
        if (!plane->empty()) *plane = planeWithWidth(plane->bytes(), before, bitmap.height(), bytes, after);
    bitmap.setWidth(after);
    return opened;
}

DibHeader bufferFormatFor(std::int32_t width, std::int32_t height)
{
    return DibHeader::topDownRows24(width, height);
}

PictureLoad loadPicture(PictureBuffers& buffers, ControlGrid& grid, CellWork& work, Picture& picture,
                        std::uint64_t available)
{
    const Bitmap& bitmap = picture.bitmap();
    const ByteBuffer& alpha = picture.alpha();
    const bool sameSize = bitmap.width() == buffers.width() && bitmap.height() == buffers.height();
    PictureLoad load;
    load.shortfall = buffers.replace(bitmap.width(), bitmap.height(), !alpha.empty(), available, picture.deep());
    if (load.shortfall) return load;
    if (!sameSize && grid.exists()) dropGrid(grid, work);
    grid.setEarlierPasses({});
    grid.selection().clear();
    load.pixelsRead = buffers.load(bitmap, alpha.bytes(), picture.lowBytes().bytes(), picture.alphaLow().bytes());
    // The buffers hold the alpha and the low bytes now; the bitmap stays.
    picture.alpha().release();
    picture.lowBytes().release();
    picture.alphaLow().release();
    work.changes().markAll();
    return load;
}

namespace {

// A plane's rows, without the three pixels after them; empty when the
// picture lacks the plane.
std::span<const std::uint8_t> planeRows(const PictureBuffers& buffers, const ByteBuffer& plane, std::size_t bytes)
{
    if (plane.empty()) return {};
    return plane.bytes().first(bytes * static_cast<std::size_t>(buffers.width()) *
                               static_cast<std::size_t>(buffers.height()));
}

} // namespace

std::span<const std::uint8_t> alphaRows(const PictureBuffers& buffers, const PixelPlanes& planes)
{
    return planeRows(buffers, planes.alpha, 1);
}

PicturePlanes planesToSave(const Bitmap& bitmap, const PictureBuffers& buffers, const PixelPlanes& planes, int bitDepth)
{
    const PixelPlanes& work = buffers.work();
    return PicturePlanes{bitmap, alphaRows(buffers, planes), planeRows(buffers, work.low, 3),
                         planeRows(buffers, work.alphaLow, 1), bitDepth};
}

bool storeWork(const PictureBuffers& buffers, Bitmap& bitmap)
{
    const DibHeader format = bufferFormatFor(buffers.width(), buffers.height());
    return copyRowsToBitmap(bitmap, 0, buffers.height(), buffers.work().colours.data(), format) != 0;
}

} // namespace plexor

#include "app/model_picture.h"

#include <cstring>

#include "engine/grid_laying.h"

namespace plexor {

OpenedPicture openWidened(const std::string& path, const ImageCodec& codec)
{
    OpenedPicture opened = openPicture(path, codec);
    Bitmap& bitmap = opened.picture.bitmap();
    bitmap.setBrushColour(0);
    const std::int32_t rest = bitmap.width() % 4;
    if (rest == 0) return opened;
    const std::size_t before = static_cast<std::size_t>(bitmap.width());
    bitmap.setWidth(bitmap.width() - rest + 4);
    // The new columns of a picture with alpha are transparent.
    ByteBuffer& alpha = opened.picture.alpha();
    if (!alpha.empty()) {
        const std::size_t after = static_cast<std::size_t>(bitmap.width());
        ByteBuffer wider = ByteBuffer::zeroed(after * static_cast<std::size_t>(bitmap.height()));
        for (std::size_t y = 0; y < static_cast<std::size_t>(bitmap.height()); ++y)
            std::memcpy(wider.data() + y * after, alpha.data() + y * before, before);
        alpha = std::move(wider);
    }
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
    load.shortfall = buffers.replace(bitmap.width(), bitmap.height(), !alpha.empty(), available);
    if (load.shortfall) return load;
    if (!sameSize && grid.exists()) dropGrid(grid, work);
    grid.setEarlierPasses({});
    grid.selection().clear();
    load.pixelsRead = buffers.load(bitmap, alpha.bytes());
    work.changes().markAll();
    return load;
}

std::span<const std::uint8_t> alphaRows(const PictureBuffers& buffers, const PixelPlanes& planes)
{
    if (planes.alpha.empty()) return {};
    return planes.alpha.bytes().first(static_cast<std::size_t>(buffers.width()) *
                                      static_cast<std::size_t>(buffers.height()));
}

bool storeWork(const PictureBuffers& buffers, Bitmap& bitmap)
{
    const DibHeader format = bufferFormatFor(buffers.width(), buffers.height());
    return copyRowsToBitmap(bitmap, 0, buffers.height(), buffers.work().colours.data(), format) != 0;
}

} // namespace plexor

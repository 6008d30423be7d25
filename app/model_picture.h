#pragma once

// A picture file's way into the model and out again, shared by the window
// and by headless application: the picture widened to the model's width,
// its pixels read into the buffers, and workImage written back.

#include <string>

#include "app/image_codec.h"
#include "app/picture_files.h"
#include "engine/deform_model.h"
#include "platform/dib_transfer.h"

namespace plexor {

// Opens `path` (openPicture) and widens its bitmap with black (and its alpha
// with transparent, and the low bytes of a deeper picture alike) to the next
// multiple of 4 pixels across, as the model holds it. Throws PictureError.
OpenedPicture openWidened(const std::string& path, const ImageCodec& codec);

// The model's buffers as a bitmap format: 24-bit rows, top to bottom.
DibHeader bufferFormatFor(std::int32_t width, std::int32_t height);

// Gives the model buffers for `picture` (widened) and reads its pixels into
// workImage, viewImage and sourceImage, and its alpha into theirs. False,
// with the model as it was and the memory message shown, when the buffers
// cannot be had. The worker must be held.
bool loadIntoModel(DeformModel& model, Picture& picture);

// The alpha of a picture the model holds, rows top to bottom; empty when it
// is opaque.
std::span<const std::uint8_t> alphaRows(const DeformModel& model, const ByteBuffer& alpha);

// Writes workImage into `bitmap`, of the model's size, in its own pixel
// format; false when the transfer fails.
bool storeWorkImage(const DeformModel& model, Bitmap& bitmap);

} // namespace plexor

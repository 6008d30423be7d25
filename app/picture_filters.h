#pragma once

// The filters of the open and save dialogs of pictures.

#include <span>
#include <vector>

#include "app/file_dialogs.h"
#include "platform/picture_format.h"

namespace plexor {

// Every format of `formats` together, then one entry per format, then all
// files.
std::vector<FileFilter> openDialogFilters(std::span<const PictureFormat> formats);

// One entry per format, in the order given.
std::vector<FileFilter> saveDialogFilters(std::span<const PictureFormat> formats);

} // namespace plexor

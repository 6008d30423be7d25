#pragma once

// The filters of the open and save dialogs, written as FileDialogRequest
// has them: "Name (*.ext)|*.ext|...".

#include <span>
#include <string>

#include "platform/picture_format.h"

namespace plexor {

// Every format of `formats` together, then one entry per format, then all
// files.
std::string openDialogFilter(std::span<const PictureFormat> formats);

// One entry per format, in the order given.
std::string saveDialogFilter(std::span<const PictureFormat> formats);

} // namespace plexor

#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/picture_format.h"

namespace plexor {

// What files dragged over the main window would do there if dropped.
enum class DropKind { Picture, Grid, Refused };

// One picture file, by its content or else its extension, of one of the
// `readable` formats, opens as File > Open does; one grid file, by its
// extension or its first line, is laid as File > Open grid does, while a
// picture is open. Anything else is refused: several files, a folder, a
// file that cannot be read, a file of another kind. Reads no more than the
// first bytes of the file.
DropKind dropKindOf(std::span<const std::string> paths, std::span<const PictureFormat> readable, bool pictureOpen);

} // namespace plexor

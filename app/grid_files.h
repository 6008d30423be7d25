#pragma once

// Grid files on disk: reading one to lay over the open picture, and keeping
// the control grid as one.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine/control_grid.h"
#include "engine/grid_file.h"

namespace plexor {

// A grid file that cannot be laid; what() says which file, and on which
// line, and why: "Cannot use the grid file F: line 3: ...".
class GridFileRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the grid file at `path`: a file in the grid file's form. Throws
// GridFileRefused.
GridFile readGridFile(const std::string& path);

// Checks the grid file read from `path` against a width x height picture,
// and the tables of each pass's step against the `available` bytes the
// program can still obtain. Throws GridFileRefused.
void checkGridFileFits(const GridFile& file, const std::string& path, std::int32_t width, std::int32_t height,
                       std::uint64_t available);

// Replaces `path` with the passes of `grid`, over a width x height picture,
// as a grid file, in one step. A grid exists. Throws PictureError naming the
// file and the reason; the former file then stays.
void saveGridFile(const ControlGrid& grid, std::int32_t width, std::int32_t height, const std::string& path);

} // namespace plexor

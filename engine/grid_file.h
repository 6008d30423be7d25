#pragma once

// The grid file: a deformation kept as a small text file, to be laid again
// over the same picture or another of its size. Lines starting with # and
// blank lines are ignored; words are separated by spaces. A deformation of
// one pass is kept in version 1:
//
//   plexor-grid 1
//   size W H
//   step N
//   point C R dx dy
//
// and one of several passes, each a grid laid over the result of the pass
// before, in version 2, a "pass" line opening each:
//
//   plexor-grid 2
//   size W H
//   pass
//   step N
//   point C R dx dy
//   pass
//   step M
//   ...
//
// A line `resample smooth` right after the size renders every pass smoothly
// (`resample exact`, or no such line, exactly).
//
// `size` is the widened picture size the grid was made on, `step` a pass's
// step, then one `point` line for each of its displaced points, row by row:
// C and R count the grid's points from 0 at the top left, outer ring
// included; dx and dy are the displacement in pixels.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/grid_pass.h"
#include "engine/memory_shortfall.h"
#include "engine/picture_buffers.h"

namespace plexor {

struct GridFile {
    static constexpr std::size_t kMaxPasses = 100;

    std::int32_t width = 0, height = 0;
    int sizeLine = 0;
    Resampling resampling = Resampling::Exact;
    std::vector<GridPass> passes; // at least one
};

// Why a grid file is refused: the line at fault and what is wrong with it.
struct GridFileError {
    int line = 0;
    std::string reason;
};

// Reads the text of a grid file: the lines in their order and form, each
// number a whole number that fits in 32 bits, each step at least 1, at least
// one pass and at most kMaxPasses. Whether its points suit a picture is
// checkGridFile's to say.
std::variant<GridFile, GridFileError> parseGridFile(std::string_view text);

// The text of a grid file, its points in the order given: version 1 for a
// single pass, version 2 for several.
std::string writeGridFile(const GridFile& file);

// The deformation of a width x height picture that `grid` holds: its
// resampling, its earlier passes, then the grid with its displaced points row
// by row. A grid exists.
GridFile gridFileOf(const ControlGrid& grid, std::int32_t width, std::int32_t height);
// One pass: the grid and its displaced points.
GridPass gridPassOf(const ControlGrid& grid);

// Whether `file` can be laid over a width x height (widened) picture as
// drags could have left it: the same size; in each pass, every point inside
// the grid and off its outer ring, each displacement less than a step each
// way, which keeps the point inside the picture, and no point listed twice.
// Nothing when it can.
std::optional<GridFileError> checkGridFile(const GridFile& file, std::int32_t width, std::int32_t height);

// Lays one checked pass over the picture as the grid command lays a grid,
// work made afresh from source with black margins and the tables built for
// the step, then displaces the pass's points. The worker must be idle; the
// cells are left to the caller (displacedCells).
void layGridPass(ControlGrid& grid, PictureBuffers& picture, CellWork& work, const GridPass& pass);

// Lays every pass of a checked file in turn, the first over the picture as
// read, each later one over the result of the one before: its grid and
// points (layGridPass), then `deform` with its batch (displacedCells) and
// whether it is the last pass. Every pass but the last must be deformed
// whole when `deform` returns. The passes before the last become the grid's
// earlier passes, and the file's resampling the grid's. Changes nothing, and says which buffer it lacked, when the
// picture as read cannot be kept beside the result in `available` bytes.
std::optional<MemoryShortfall>
layGridFile(ControlGrid& grid, PictureBuffers& picture, CellWork& work, const GridFile& file, std::uint64_t available,
            const std::function<void(std::span<const CellRef> batch, bool last)>& deform);

// The cells whose 16 points include a displaced point, row by row from the
// top, left to right within a row: the one batch that deforms the picture
// for its displacements, whatever order of drags led to them.
std::vector<CellRef> displacedCells(const ControlGrid& grid);

} // namespace plexor

#pragma once

// The grid file: a deformation kept as a small text file, to be laid again
// over the same picture or another of its size. Lines starting with # and
// blank lines are ignored; words are separated by spaces:
//
//   plexor-grid 1
//   size W H
//   step N
//   point C R dx dy
//
// `size` is the widened picture size the grid was made on, `step` its step,
// then one `point` line for each displaced point, row by row: C and R count
// the grid's points from 0 at the top left, outer ring included; dx and dy
// are the displacement in pixels.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/deform_model.h"

namespace plexor {

struct GridFilePoint {
    std::int32_t col = 0, row = 0;
    std::int32_t dx = 0, dy = 0;
    int line = 0; // where it was read; 0 for a point not read from a file

    bool operator==(const GridFilePoint& other) const noexcept
    {
        return col == other.col && row == other.row && dx == other.dx && dy == other.dy;
    }
};

struct GridFile {
    std::int32_t width = 0, height = 0;
    std::int32_t step = 0;
    int sizeLine = 0, stepLine = 0;
    std::vector<GridFilePoint> points;
};

// Why a grid file is refused: the line at fault and what is wrong with it.
struct GridFileError {
    int line = 0;
    std::string reason;
};

// Reads the text of a grid file: the lines in their order and form, each
// number a whole number that fits in 32 bits, the step at least 1. Whether
// its points suit a picture is checkGridFile's to say.
std::variant<GridFile, GridFileError> parseGridFile(std::string_view text);

// The text of a grid file, its points in the order given.
std::string writeGridFile(const GridFile& file);

// The grid the model holds, with its displaced points row by row. The model
// holds a picture and a grid.
GridFile gridFileOf(const DeformModel& model);

// Whether `file` can be laid over a width x height (widened) picture as a
// drag could have left it: the same size; every point inside the grid and
// off its outer ring; each displacement less than a step each way, which
// keeps the point inside the picture; no point listed twice. Nothing when it can.
std::optional<GridFileError> checkGridFile(const GridFile& file, std::int32_t width, std::int32_t height);

// Lays the grid of a checked file over the model's picture as the grid
// command lays a grid, workImage made afresh from sourceImage with black
// margins and the tables built for the step, then displaces the file's
// points. The worker must be idle; the cells are left to the caller
// (displacedCells).
void layGridFile(DeformModel& model, const GridFile& file);

// The cells whose 16 points include a displaced point, row by row from the
// top, left to right within a row: the one batch that deforms the picture
// for its displacements, whatever order of drags led to them.
std::vector<CellRef> displacedCells(const DeformModel& model);

} // namespace plexor

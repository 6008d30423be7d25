#include "app/source_change.h"

namespace plexor {
namespace {

std::size_t passBytes(const std::vector<GridPass>& passes) noexcept
{
    std::size_t bytes = passes.capacity() * sizeof(GridPass);
    for (const GridPass& pass : passes) bytes += pass.points.capacity() * sizeof(GridFilePoint);
    return bytes;
}

} // namespace

std::size_t SourceChange::bytes() const noexcept
{
    return before_.bytes() + after_.bytes() + passBytes(passesBefore_) + passBytes(passesAfter_);
}

} // namespace plexor

#include "platform/bmp_colour_table.h"

#include "platform/picture_error.h"

namespace plexor {

std::vector<Colour> readBmpColourTable(std::span<const std::uint8_t> file, std::size_t offset, std::size_t count,
                                       bool coreHeader)
{
    const std::size_t entry = bmpTableEntryBytes(coreHeader);
    if (offset > file.size() || (file.size() - offset) / entry < count) throwReadError();
    std::vector<Colour> table(count);
    const std::uint8_t* p = file.data() + offset;
    for (Colour& quad : table) {
        quad.blue = p[0];
        quad.green = p[1];
        quad.red = p[2];
        quad.reserved = coreHeader ? 0 : p[3];
        p += entry;
    }
    return table;
}

std::size_t writeBmpColourTable(std::span<const Colour> table, bool coreHeader, std::uint8_t* out) noexcept
{
    const std::size_t entry = bmpTableEntryBytes(coreHeader);
    for (const Colour& quad : table) {
        out[0] = quad.blue;
        out[1] = quad.green;
        out[2] = quad.red;
        if (!coreHeader) out[3] = quad.reserved;
        out += entry;
    }
    return table.size() * entry;
}

} // namespace plexor

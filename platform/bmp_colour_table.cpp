#include "platform/bmp_colour_table.h"

#include "platform/picture_error.h"

namespace plexor {

std::vector<RgbQuad> ReadBmpColourTable(std::span<const std::uint8_t> file, std::size_t offset, std::size_t count,
                                        bool coreHeader)
{
    const std::size_t entry = BmpTableEntryBytes(coreHeader);
    if (offset > file.size() || (file.size() - offset) / entry < count) ThrowReadError();
    std::vector<RgbQuad> table(count);
    const std::uint8_t* p = file.data() + offset;
    for (RgbQuad& quad : table) {
        quad.Blue = p[0];
        quad.Green = p[1];
        quad.Red = p[2];
        quad.Reserved = coreHeader ? 0 : p[3];
        p += entry;
    }
    return table;
}

std::size_t WriteBmpColourTable(std::span<const RgbQuad> table, bool coreHeader, std::uint8_t* out) noexcept
{
    const std::size_t entry = BmpTableEntryBytes(coreHeader);
    for (const RgbQuad& quad : table) {
        out[0] = quad.Blue;
        out[1] = quad.Green;
        out[2] = quad.Red;
        if (!coreHeader) out[3] = quad.Reserved;
        out += entry;
    }
    return table.size() * entry;
}

} // namespace plexor

#include "platform/heif_derived_size.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

namespace plexor {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t fourCc(const char (&name)[5]) noexcept
{
    return std::uint32_t{static_cast<std::uint8_t>(name[0])} << 24 |
           std::uint32_t{static_cast<std::uint8_t>(name[1])} << 16 |
           std::uint32_t{static_cast<std::uint8_t>(name[2])} << 8 | std::uint32_t{static_cast<std::uint8_t>(name[3])};
}

// Big-endian fields read one after another; a field that does not fit
// reads as 0 and leaves the cursor failed.
class Cursor {
public:
    explicit Cursor(Bytes bytes) noexcept : bytes_(bytes) {}

    std::uint64_t read(unsigned size) noexcept
    {
        if (!ok_ || size > 8 || size > bytes_.size() - at_) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (unsigned i = 0; i < size; ++i) value = value << 8 | bytes_[at_++];
        return value;
    }
    bool ok() const noexcept { return ok_; }
    Bytes rest() const noexcept { return bytes_.subspan(at_); }

private:
    Bytes bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

struct Box {
    std::uint32_t type = 0;
    Bytes body;
};

// The box at `at` of `within`, moving `at` past it; false when no whole box
// is left there.
bool nextBox(Bytes within, std::size_t& at, Box& box) noexcept
{
    Cursor header(within.subspan(at));
    std::uint64_t size = header.read(4);
    box.type = static_cast<std::uint32_t>(header.read(4));
    std::uint64_t headerSize = 8;
    if (size == 1) {
        size = header.read(8);
        headerSize = 16;
    } else if (size == 0) {
        size = within.size() - at;
    }
    if (!header.ok() || size < headerSize || size > within.size() - at) return false;
    box.body = within.subspan(at + headerSize, size - headerSize);
    at += size;
    return true;
}

// The first child of `body` (after `skip` bytes) of type `type`; an empty
// body when there is none.
Bytes childOf(Bytes body, std::size_t skip, std::uint32_t type) noexcept
{
    if (skip > body.size()) return {};
    Box box;
    for (std::size_t at = skip; nextBox(body, at, box);)
        if (box.type == type) return box.body;
    return {};
}

// The output size a grid's or an overlay's description gives.
std::optional<DeclaredSize> describedSize(std::uint32_t type, Bytes description) noexcept
{
    Cursor d(description);
    d.read(1); // version
    const unsigned field = (d.read(1) & 1) != 0 ? 4 : 2;
    d.read(type == fourCc("grid") ? 2 : 8); // rows and columns; or the canvas's fill colour
    DeclaredSize size;
    size.width = static_cast<std::uint32_t>(d.read(field));
    size.height = static_cast<std::uint32_t>(d.read(field));
    if (!d.ok()) return std::nullopt;
    return size;
}

} // namespace

DeclaredSize largestHeifDerivedSize(Bytes file) noexcept
{
    const Bytes meta = childOf(file, 0, fourCc("meta"));
    // The meta box, and those under it but infe, begin with a version and flags.
    const Bytes info = childOf(meta, 4, fourCc("iinf"));
    const Bytes locations = childOf(meta, 4, fourCc("iloc"));
    const Bytes data = childOf(meta, 4, fourCc("idat"));
    if (info.empty() || locations.empty()) return {};

    // The derived items and their types, sorted by item.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> derived;
    try {
        Cursor count(info);
        const std::uint64_t version = count.read(1);
        count.read(3);
        count.read(version == 0 ? 2 : 4);
        if (!count.ok()) return {};
        const Bytes entries = count.rest();
        Box box;
        for (std::size_t at = 0; nextBox(entries, at, box);) {
            if (box.type != fourCc("infe")) continue;
            Cursor entry(box.body);
            const std::uint64_t entryVersion = entry.read(1);
            entry.read(3);
            if (entryVersion < 2) continue;
            const auto item = static_cast<std::uint32_t>(entry.read(entryVersion == 2 ? 2 : 4));
            entry.read(2); // protection
            const auto type = static_cast<std::uint32_t>(entry.read(4));
            if (entry.ok() && (type == fourCc("grid") || type == fourCc("iovl"))) derived.emplace_back(item, type);
        }
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (derived.empty()) return {};
    std::sort(derived.begin(), derived.end());

    // Each derived item's description: the first extent of its location, in
    // the file or in the meta box's own data.
    Cursor loc(locations);
    const std::uint64_t version = loc.read(1);
    loc.read(3);
    const std::uint64_t sizes = loc.read(1), moreSizes = loc.read(1);
    const auto offsetSize = static_cast<unsigned>(sizes >> 4), lengthSize = static_cast<unsigned>(sizes & 15);
    const auto baseSize = static_cast<unsigned>(moreSizes >> 4);
    const unsigned indexSize = version >= 1 ? static_cast<unsigned>(moreSizes & 15) : 0;
    const std::uint64_t items = loc.read(version < 2 ? 2 : 4);
    DeclaredSize largest;
    const auto pixels = [](const DeclaredSize& s) { return std::uint64_t{s.width} * s.height; };
    for (std::uint64_t i = 0; i < items && loc.ok(); ++i) {
        const auto item = static_cast<std::uint32_t>(loc.read(version < 2 ? 2 : 4));
        const std::uint64_t method = version >= 1 ? loc.read(2) & 15 : 0;
        loc.read(2); // data reference
        const std::uint64_t base = loc.read(baseSize);
        const std::uint64_t extents = loc.read(2);
        std::uint64_t offset = 0, length = 0;
        // Extents of no fields take no bytes, and say nothing.
        const bool fields = indexSize + offsetSize + lengthSize > 0;
        for (std::uint64_t e = 0; fields && e < extents && loc.ok(); ++e) {
            loc.read(indexSize);
            const std::uint64_t extentOffset = loc.read(offsetSize), extentLength = loc.read(lengthSize);
            if (e == 0) offset = extentOffset, length = extentLength;
        }
        const auto found = std::lower_bound(derived.begin(), derived.end(), std::pair{item, std::uint32_t{0}});
        if (!loc.ok() || extents == 0 || method > 1 || found == derived.end() || found->first != item) continue;
        const Bytes from = method == 0 ? file : data;
        if (base > from.size() || offset > from.size() - base) continue;
        const Bytes description = from.subspan(static_cast<std::size_t>(base + offset));
        const std::optional<DeclaredSize> size =
            describedSize(found->second, length == 0 ? description
                                                     : description.first(static_cast<std::size_t>(
                                                           std::min<std::uint64_t>(length, description.size()))));
        if (size && pixels(*size) > pixels(largest)) largest = *size;
    }
    return largest;
}

} // namespace plexor

#include "tests/support/crafted_heif.h"

#include <utility>

namespace plexor::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& to, std::uint64_t value, int size)
{
    for (int i = size - 1; i >= 0; --i) to.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putType(Bytes& to, const std::string& type)
{
    to.insert(to.end(), type.begin(), type.end());
}

Bytes box(const std::string& type, const Bytes& body)
{
    Bytes b;
    put(b, 8 + body.size(), 4);
    putType(b, type);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A full box: a version and no flags before the body.
Bytes fullBox(const std::string& type, int version, const Bytes& body)
{
    Bytes b;
    put(b, static_cast<std::uint64_t>(version) << 24, 4);
    b.insert(b.end(), body.begin(), body.end());
    return box(type, b);
}

Bytes outputSize(Bytes d, std::uint32_t width, std::uint32_t height, bool wide)
{
    put(d, width, wide ? 4 : 2);
    put(d, height, wide ? 4 : 2);
    return d;
}

// The meta box, the items kept in the file starting at `fileData`.
Bytes metaBox(const std::vector<CraftedHeifItem>& items, int version, std::size_t fileData)
{
    Bytes infos, locations, metaData;
    put(infos, items.size(), 2);
    put(locations, 0x44, 1); // 4-byte offsets and lengths
    put(locations, 0, 1);    // no base offset, no index
    put(locations, items.size(), version < 2 ? 2 : 4);
    std::size_t inFile = fileData;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CraftedHeifItem& item = items[i];
        Bytes entry;
        put(entry, i + 1, 2);
        put(entry, 0, 2);
        putType(entry, item.type);
        entry.push_back(0); // no name
        const Bytes info = fullBox("infe", 2, entry);
        infos.insert(infos.end(), info.begin(), info.end());
        const bool inMeta = item.inMetaData && version > 0;
        put(locations, i + 1, version < 2 ? 2 : 4);
        if (version > 0) put(locations, inMeta ? 1 : 0, 2);
        put(locations, 0, 2); // data reference
        put(locations, 1, 2); // one extent
        put(locations, inMeta ? metaData.size() : inFile, 4);
        put(locations, item.bytes.size(), 4);
        if (inMeta)
            metaData.insert(metaData.end(), item.bytes.begin(), item.bytes.end());
        else
            inFile += item.bytes.size();
    }
    Bytes handler;
    put(handler, 0, 4);
    putType(handler, "pict");
    handler.insert(handler.end(), 12, 0);
    handler.push_back(0);
    Bytes primary;
    put(primary, 1, 2);
    Bytes body;
    for (const Bytes& child : {fullBox("hdlr", 0, handler), fullBox("pitm", 0, primary), fullBox("iinf", 0, infos),
                               fullBox("iloc", version, locations), box("idat", metaData)})
        body.insert(body.end(), child.begin(), child.end());
    return fullBox("meta", 0, body);
}

} // namespace

std::vector<std::uint8_t> craftedHeif(const std::vector<CraftedHeifItem>& items, int locationVersion)
{
    Bytes brands;
    putType(brands, "heic");
    put(brands, 0, 4);
    putType(brands, "mif1");
    putType(brands, "heic");
    Bytes file = box("ftyp", brands);
    // The meta box's size does not depend on where the file's items lie.
    const std::size_t fileData = file.size() + metaBox(items, locationVersion, 0).size() + 8;
    const Bytes meta = metaBox(items, locationVersion, fileData);
    file.insert(file.end(), meta.begin(), meta.end());
    Bytes kept;
    for (const CraftedHeifItem& item : items)
        if (!item.inMetaData || locationVersion == 0) kept.insert(kept.end(), item.bytes.begin(), item.bytes.end());
    const Bytes data = box("mdat", kept);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

std::vector<std::uint8_t> gridDescription(std::uint32_t width, std::uint32_t height, bool wide)
{
    // Version, flags, one row and one column less one.
    return outputSize({0, static_cast<std::uint8_t>(wide ? 1 : 0), 0, 0}, width, height, wide);
}

std::vector<std::uint8_t> overlayDescription(std::uint32_t width, std::uint32_t height, bool wide)
{
    // Version, flags, the canvas's fill colour (four 16-bit values).
    Bytes d = {0, static_cast<std::uint8_t>(wide ? 1 : 0), 0, 0, 0, 0, 0, 0, 0, 0};
    return outputSize(std::move(d), width, height, wide);
}

} // namespace plexor::test

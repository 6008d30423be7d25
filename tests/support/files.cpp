#include "tests/support/files.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace plexor::test {

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::filesystem::path& path, const std::string& text)
{
    writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string readText(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::optional<std::filesystem::path> sharedFolder(const std::string& sub)
{
    const std::filesystem::path folder = std::filesystem::path(PLEXOR_SHARED_DIR) / sub;
    if (!std::filesystem::is_directory(folder)) return std::nullopt;
    return folder;
}

std::vector<std::filesystem::path> bmpFilesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace plexor::test

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace plexor::test {

// A folder of its own under the system's temporary folder, removed with all
// it holds when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Writes `bytes` as the file `name` in the folder; its path.
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    // Names of everything in the folder, sorted.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path path_;
};

} // namespace plexor::test

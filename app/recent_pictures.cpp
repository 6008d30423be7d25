#include "app/recent_pictures.h"

#include <algorithm>
#include <filesystem>

namespace plexor {
namespace {

constexpr const char* kFilesKey = "recentFiles";
constexpr const char* kFolderKey = "lastFolder";

std::string absolute(const std::string& path)
{
    std::error_code ignored;
    const std::filesystem::path full = std::filesystem::absolute(path, ignored);
    return (full.empty() ? std::filesystem::path(path) : full).lexically_normal().string();
}

} // namespace

RecentPictures::RecentPictures(SettingsStore& settings) : settings_(settings)
{
    // A list edited by hand keeps its first entries, each once.
    for (const std::string& file : settings_.stringList(kFilesKey))
        if (!file.empty() && files_.size() < kMaxFiles && std::find(files_.begin(), files_.end(), file) == files_.end())
            files_.push_back(file);
    const std::vector<std::string> folder = settings_.stringList(kFolderKey);
    if (!folder.empty()) lastFolder_ = folder.front();
}

void RecentPictures::add(const std::string& path)
{
    const std::string file = absolute(path);
    std::erase(files_, file);
    files_.insert(files_.begin(), file);
    if (files_.size() > kMaxFiles) files_.resize(kMaxFiles);
    lastFolder_ = std::filesystem::path(file).parent_path().string();
    store();
}

void RecentPictures::remove(const std::string& path)
{
    if (std::erase(files_, path) != 0) store();
}

void RecentPictures::clear()
{
    files_.clear();
    store();
}

void RecentPictures::store()
{
    settings_.setStringList(kFilesKey, files_);
    settings_.setStringList(kFolderKey, {lastFolder_});
}

} // namespace plexor

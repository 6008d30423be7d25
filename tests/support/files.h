#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace plexor::test {

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);
std::string readText(const std::filesystem::path& path);

// A folder of the shared test pictures beside the checkout ("bmpsuite/g",
// "bmp-extra"), or nothing when it is absent.
std::optional<std::filesystem::path> sharedFolder(const std::string& sub);

// Every .bmp file of a folder, sorted by name.
std::vector<std::filesystem::path> bmpFilesIn(const std::filesystem::path& folder);

} // namespace plexor::test

// Declares `var`, the shared folder `sub`; a test skips, saying so, where it
// is absent.
#define REQUIRE_SHARED_FOLDER(var, sub)                                                                                \
    const auto var = ::plexor::test::sharedFolder(sub);                                                                \
    if (!var)                                                                                                          \
    GTEST_SKIP() << "shared sample folder " << (sub) << " is absent (looked under " << PLEXOR_SHARED_DIR << ")"

#include "writers/FileBytes.h"

#include <cstdio>
#include <filesystem>

namespace tools {

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes->append(chunk, got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace tools

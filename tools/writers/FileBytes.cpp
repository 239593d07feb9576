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
    // Written beside the target and renamed over it: a failed write keeps
    // the file that was there.
    const std::string temporary = path + ".tmp";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (ok) {
        std::filesystem::rename(temporary, path, ec);
        ok = !ec;
    }
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
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

#include "platform/Win32Find.h"

#include "platform/Win32Shell.h"

#include <algorithm>
#include <filesystem>

namespace plat {

std::vector<std::string> ListFolderFiles(const char* folder)
{
    std::vector<std::string> names;
    if (!folder)
        return names;
    std::error_code ec;
    std::filesystem::directory_iterator it(NativePath(folder), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace plat

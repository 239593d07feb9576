// Listing the files of one folder (the stand-in for a file search).
#pragma once

#include <string>
#include <vector>

namespace plat {

// Names of the regular files directly in folder (no folders, no links to
// folders), sorted by name. Empty when the folder is missing.
std::vector<std::string> ListFolderFiles(const char* folder);

} // namespace plat

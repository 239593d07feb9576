#include "platform/MemoryFiles.h"

#include "platform/Win32Shell.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace plat {

namespace {

struct MemoryFile {
    std::string path;
    std::string bytes;
};

MemoryFile s_Files[MEMORY_FILE_COUNT];
int s_nFiles = 0;

// The same file reached by a relative or a full path (the settings and the
// saves use the full one) is one entry.
std::string FullPath(const char* nativePath)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(nativePath, ec);
    return ec ? std::string(nativePath) : full.lexically_normal().string();
}

// The last part of a path; empty when the path ends in a folder or in "."
// or "..", whose full path names another part.
std::string_view FileNamePart(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return name == "." || name == ".." ? std::string_view() : name;
}

bool EndsWithFileName(const std::string& fullPath, std::string_view name)
{
    return fullPath.size() > name.size() && fullPath[fullPath.size() - name.size() - 1] == '/' &&
           std::string_view(fullPath).substr(fullPath.size() - name.size()) == name;
}

MemoryFile* FindMemoryFile(const char* nativePath)
{
    // Making a path full asks the system for the working folder: most opens
    // name no file held here, and a file name that ends none of the held
    // paths settles that without it.
    const std::string_view name = FileNamePart(nativePath);
    if (!name.empty()) {
        bool candidate = false;
        for (int i = 0; i < s_nFiles && !candidate; ++i)
            candidate = EndsWithFileName(s_Files[i].path, name);
        if (!candidate)
            return nullptr;
    }
    const std::string full = FullPath(nativePath);
    for (int i = 0; i < s_nFiles; ++i)
        if (s_Files[i].path == full)
            return &s_Files[i];
    return nullptr;
}

void DropMemoryFile(MemoryFile* file)
{
    MemoryFile* last = &s_Files[s_nFiles - 1];
    if (file != last)
        std::swap(*file, *last);
    last->path.clear();
    last->bytes.clear();
    --s_nFiles;
}

} // namespace

bool SetMemoryFile(const char* path, const void* data, std::size_t size)
{
    if (!path || (!data && size > 0))
        return false;
    const std::string native = NativePath(path);
    MemoryFile* file = FindMemoryFile(native.c_str());
    if (!file) {
        if (s_nFiles >= MEMORY_FILE_COUNT)
            return false;
        file = &s_Files[s_nFiles++];
        file->path = FullPath(native.c_str());
    }
    file->bytes.assign(static_cast<const char*>(data), size);
    return true;
}

void ClearMemoryFiles()
{
    while (s_nFiles > 0)
        DropMemoryFile(&s_Files[s_nFiles - 1]);
}

void ForgetMemoryFile(const char* path)
{
    if (s_nFiles == 0 || !path)
        return;
    const std::string native = NativePath(path);
    if (MemoryFile* file = FindMemoryFile(native.c_str()))
        DropMemoryFile(file);
}

std::FILE* OpenMemoryFile(const char* nativePath, const char* mode)
{
    if (s_nFiles == 0 || !nativePath || !mode)
        return nullptr;
    MemoryFile* file = FindMemoryFile(nativePath);
    if (!file)
        return nullptr;
    if (mode[0] != 'r' || std::strchr(mode, '+')) {
        DropMemoryFile(file);
        return nullptr;
    }
    // The stream only reads; an empty file still needs a buffer to point at.
    static char s_Empty[1];
    char* bytes = file->bytes.empty() ? s_Empty : file->bytes.data();
    return fmemopen(bytes, file->bytes.size(), "r");
}

bool ReplaceMemoryFile(const char* nativePath, const void* data, std::size_t size)
{
    MemoryFile* file = s_nFiles > 0 && nativePath ? FindMemoryFile(nativePath) : nullptr;
    if (!file || (!data && size > 0))
        return false;
    file->bytes.assign(static_cast<const char*>(data), size);
    return true;
}

} // namespace plat

#include "graphics/DataFileReader.h"

#include "shell/FileManager.h"
#include "shell/Log.h"

#include <cstdio>
#include <new>

DataFileResult ReadOptionalDataFile(const char* path, std::uint32_t archive, bool looseFallback,
                                    std::uint32_t maxBytes, std::vector<unsigned char>* out)
{
    out->clear();
    std::uint32_t size = 0;
    FileHandle handle = g_FileManager.Open(path, archive, &size);
    if (handle == INVALID_FILE_HANDLE && looseFallback)
        handle = g_FileManager.Open(path, FILE_MODE_BINARY, &size);
    if (handle == INVALID_FILE_HANDLE)
        return DataFileResult::NotOpened;
    DataFileResult result = DataFileResult::Failed;
    if (size > maxBytes) {
        char problem[80];
        std::snprintf(problem, sizeof(problem), "file too large (%u bytes), not read", size);
        LogFileProblem(path, problem);
    } else if (size > 0) {
        try {
            out->resize(size);
            if (g_FileManager.Read(out->data(), 1, size, handle) == size)
                result = DataFileResult::Read;
        } catch (const std::bad_alloc&) {
        }
    }
    g_FileManager.Close(handle);
    if (result != DataFileResult::Read) {
        if (size <= maxBytes)
            LogFileProblem(path, "empty or cut short");
        out->clear();
    }
    return result;
}

DataFileResult ReadDataFile(const char* path, std::uint32_t archive, bool looseFallback, std::uint32_t maxBytes,
                            std::vector<unsigned char>* out)
{
    const DataFileResult result = ReadOptionalDataFile(path, archive, looseFallback, maxBytes, out);
    if (result == DataFileResult::NotOpened)
        LogFileProblem(path, looseFallback ? "not found in its archive nor as a loose file" : "not found");
    return result;
}

#include "shell/FileManager.h"

#include "platform/Win32.h"
#include "shell/ArchiveIndex.h"
#include "shell/FileFailures.h"
#include "shell/Keywords.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <cstring>
#include <filesystem>
#include <vector>

CFileManager g_FileManager;

namespace {

const std::uint32_t kArchiveIds[ARCHIVE_COUNT] = {ARCHIVE_OBJECTS, ARCHIVE_WORLD, ARCHIVE_TEXTURES, ARCHIVE_SD};

bool IsObjectsHandle(FileHandle h)
{
    return h >= ARCHIVE_OBJECTS && h < ARCHIVE_WORLD;
}

// The archive id a handle of 4000 and above was made from.
std::uint32_t ArchiveIdOf(FileHandle h)
{
    return h >= ARCHIVE_SD ? ARCHIVE_SD : (h >= ARCHIVE_TEXTURES ? ARCHIVE_TEXTURES : ARCHIVE_WORLD);
}

// An index holds names and two numbers per entry: far below this.
const long long kMaxIndexBytes = 64ll << 20;
// The Objects bodies are text files held in memory together.
const std::uint64_t kMaxObjectsBytes = 256ull << 20;

// The index whole; one larger than any real index is refused with a log line.
bool ReadIndexFile(std::FILE* f, std::vector<std::uint8_t>* bytes, const char* name)
{
    if (FileLength(f) > kMaxIndexBytes) {
        LogFileProblem(name, "index too large, archive not read");
        return false;
    }
    return plat::ReadOpenFile(f, bytes, static_cast<std::size_t>(kMaxIndexBytes));
}

// Copies up to n - 1 bytes of an Objects body from the read position, up to
// a line end, and moves past it: CR, LF, CR LF and LF CR each end one line.
void ReadObjectsLine(ArchiveEntry* e, char* buffer, std::uint32_t n)
{
    const std::uint32_t start = e->readPos < e->size ? e->readPos : e->size;
    std::uint32_t i = 0;
    while (i < n - 1 && start + i < e->size && e->data[start + i] != '\n' && e->data[start + i] != '\r')
        ++i;
    std::memcpy(buffer, e->data + start, i);
    buffer[i] = '\0';
    std::uint32_t next = start + i;
    if (i < n - 1 && next < e->size) {
        ++next;
        if (next < e->size && (e->data[next] == '\n' || e->data[next] == '\r'))
            ++next;
    }
    e->readPos = next;
}

// fgets without the line end; a CR before the LF (a file written with
// CR LF) goes too, also when the buffer filled just before the LF.
void ReadTextLine(std::FILE* f, char* buffer, std::uint32_t n)
{
    if (!std::fgets(buffer, static_cast<int>(n), f)) {
        buffer[0] = '\0';
        return;
    }
    std::size_t length = std::strlen(buffer);
    const bool sawLineFeed = length > 0 && buffer[length - 1] == '\n';
    if (sawLineFeed)
        buffer[--length] = '\0';
    if (length > 0 && buffer[length - 1] == '\r') {
        buffer[--length] = '\0';
        if (!sawLineFeed) {
            const int c = std::fgetc(f);
            if (c != '\n' && c != EOF)
                std::ungetc(c, f);
        }
    }
}

} // namespace

int CFileManager::Init()
{
    ReleaseAll();
    ForgetFileFailures();
    m_bLooseOnly = g_bFileManager == 0 ? 1 : 0;
    if (m_bLooseOnly)
        return 1;
    for (int a = 0; a < ARCHIVE_COUNT; ++a)
        m_pEntries[a] = LoadIndex(kArchiveIds[a], &m_EntryCount[a], a == 0 ? 1 : 0);
    return 1;
}

void CFileManager::ReleaseAll()
{
    for (std::FILE*& slot : m_Slots) {
        if (slot)
            std::fclose(slot);
        slot = nullptr;
    }
    for (int a = 0; a < ARCHIVE_COUNT; ++a) {
        for (std::uint32_t i = 0; i < m_EntryCount[a]; ++i)
            delete[] m_pEntries[a][i].data;
        delete[] m_pEntries[a];
        m_pEntries[a] = nullptr;
        m_EntryCount[a] = 0;
    }
}

ArchiveEntry* CFileManager::LoadIndex(std::uint32_t archiveId, std::uint32_t* outCount, int loadBodies)
{
    *outCount = 0;
    const char* indexPath = ArchiveIndexPath(archiveId);
    if (!indexPath)
        return nullptr;
    std::FILE* index = plat::OpenFile(indexPath, "rb");
    std::FILE* body = plat::OpenFile(ArchiveBodyPath(archiveId), "rb");
    ArchiveEntry* entries = nullptr;
    std::vector<std::uint8_t> bytes;
    if (!index)
        LogFileProblem(indexPath, "missing or not a file, archive empty");
    else if (!body)
        LogFileProblem(ArchiveBodyPath(archiveId), "missing or not a file, archive empty");
    if (index && (body || !loadBodies) && ReadIndexFile(index, &bytes, indexPath)) {
        const long long bodySize = body ? FileLength(body) : -1;
        const std::uint64_t limit = bodySize < 0 ? UINT64_MAX : static_cast<std::uint64_t>(bodySize);
        const std::uint32_t maxEntries = archiveId == ARCHIVE_OBJECTS ? std::uint32_t{MAX_OBJECTS_ENTRIES} : UINT32_MAX;
        entries = ParseArchiveIndex(bytes.data(), bytes.size(), limit, maxEntries, indexPath, outCount);
        if (entries && loadBodies && !ArchiveBodiesFit(entries, *outCount, kMaxObjectsBytes, indexPath)) {
            delete[] entries;
            entries = nullptr;
            *outCount = 0;
        }
        if (entries && loadBodies)
            LoadArchiveBodies(entries, outCount, body, ArchiveBodyPath(archiveId));
    }
    if (index)
        std::fclose(index);
    if (body)
        std::fclose(body);
    return entries;
}

FileHandle CFileManager::FindFreeSlot()
{
    for (FileHandle s = 0; s < FILE_SLOT_COUNT; ++s)
        if (!m_Slots[s])
            return s;
    return INVALID_FILE_HANDLE;
}

FileHandle CFileManager::OpenLoose(const char* path, const char* mode, std::uint32_t* outSize)
{
    const FileHandle slot = FindFreeSlot();
    if (slot == INVALID_FILE_HANDLE)
        return INVALID_FILE_HANDLE;
    m_Slots[slot] = plat::OpenFile(path, mode);
    if (!m_Slots[slot])
        return INVALID_FILE_HANDLE;
    if (outSize)
        *outSize = GetFileSize(slot);
    return slot;
}

const ArchiveEntry* CFileManager::FindEntry(int archive, const char* path, std::uint32_t* index) const
{
    for (std::uint32_t i = 0; i < m_EntryCount[archive]; ++i) {
        if (StringsEqual(m_pEntries[archive][i].name, path)) {
            *index = i;
            return &m_pEntries[archive][i];
        }
    }
    return nullptr;
}

FileHandle CFileManager::OpenPacked(const char* path, std::uint32_t mode, std::uint32_t* outSize)
{
    const int archive = ArchiveSlot(mode);
    std::uint32_t i = 0;
    const ArchiveEntry* e = FindEntry(archive, path, &i);
    if (!e)
        return INVALID_FILE_HANDLE;
    if (mode == ARCHIVE_OBJECTS) {
        if (outSize)
            *outSize = e->size;
        return ARCHIVE_OBJECTS + i;
    }
    const FileHandle slot = FindFreeSlot();
    if (slot == INVALID_FILE_HANDLE)
        return INVALID_FILE_HANDLE;
    std::FILE* f = plat::OpenFile(ArchiveBodyPath(mode), "rb");
    if (!f)
        return INVALID_FILE_HANDLE;
    if (std::fseek(f, static_cast<long>(e->offset), SEEK_SET) != 0) {
        std::fclose(f);
        return INVALID_FILE_HANDLE;
    }
    m_Slots[slot] = f;
    if (outSize)
        *outSize = e->size;
    return mode + slot;
}

FileHandle CFileManager::Open(const char* path, std::uint32_t mode, std::uint32_t* outSize)
{
    if (!path)
        return INVALID_FILE_HANDLE;
    if (mode == FILE_MODE_TEXT || mode == FILE_MODE_BINARY)
        return OpenLoose(path, mode == FILE_MODE_TEXT ? "rt" : "rb", outSize);
    if (ArchiveSlot(mode) < 0)
        return INVALID_FILE_HANDLE;
    if (m_bLooseOnly)
        return OpenLoose(path, mode == ARCHIVE_OBJECTS ? "rt" : "rb", outSize);
    return OpenPacked(path, mode, outSize);
}

FileHandle CFileManager::OpenForWrite(const char* path, std::uint32_t mode)
{
    if (!path || (mode != FILE_MODE_TEXT && mode != FILE_MODE_BINARY))
        return INVALID_FILE_HANDLE;
    const FileHandle slot = FindFreeSlot();
    if (slot == INVALID_FILE_HANDLE)
        return INVALID_FILE_HANDLE;
    m_Slots[slot] = plat::OpenFile(path, mode == FILE_MODE_TEXT ? "wt" : "wb");
    return m_Slots[slot] ? slot : INVALID_FILE_HANDLE;
}

std::FILE** CFileManager::SlotOf(FileHandle handle)
{
    if (handle < FILE_SLOT_COUNT)
        return &m_Slots[handle];
    if (handle == INVALID_FILE_HANDLE || handle < ARCHIVE_WORLD)
        return nullptr;
    const FileHandle slot = handle - ArchiveIdOf(handle);
    return slot < FILE_SLOT_COUNT ? &m_Slots[slot] : nullptr;
}

ArchiveEntry* CFileManager::ObjectsEntryOf(FileHandle handle)
{
    if (!IsObjectsHandle(handle) || handle - ARCHIVE_OBJECTS >= m_EntryCount[0])
        return nullptr;
    return &m_pEntries[0][handle - ARCHIVE_OBJECTS];
}

int CFileManager::Close(FileHandle handle)
{
    if (ArchiveEntry* e = ObjectsEntryOf(handle)) {
        e->readPos = 0;
        return 1;
    }
    std::FILE** slot = SlotOf(handle);
    if (!slot || !*slot)
        return 1;
    const int closed = std::fclose(*slot) == 0;
    *slot = nullptr;
    return closed;
}

std::size_t CFileManager::Read(void* buffer, std::size_t size, std::size_t count, FileHandle handle)
{
    std::FILE** slot = SlotOf(handle);
    if (!buffer || !slot || !*slot)
        return 0;
    return std::fread(buffer, size, count, *slot);
}

void CFileManager::ReadLine(char* buffer, std::uint32_t n, FileHandle handle)
{
    if (!buffer || n == 0 || handle == INVALID_FILE_HANDLE)
        return;
    buffer[0] = '\0';
    if (ArchiveEntry* e = ObjectsEntryOf(handle)) {
        if (e->data)
            ReadObjectsLine(e, buffer, n);
        return;
    }
    if (handle < FILE_SLOT_COUNT && m_Slots[handle])
        ReadTextLine(m_Slots[handle], buffer, n);
}

int CFileManager::IsAtEnd(FileHandle handle)
{
    if (handle == INVALID_FILE_HANDLE)
        return 1;
    if (ArchiveEntry* e = ObjectsEntryOf(handle))
        return !e->data || e->readPos >= e->size;
    std::FILE** slot = SlotOf(handle);
    if (!slot || !*slot)
        return 1;
    const int c = std::fgetc(*slot);
    if (c == EOF)
        return 1;
    std::ungetc(c, *slot);
    return 0;
}

std::size_t CFileManager::Write(const void* buffer, std::size_t size, std::size_t count, FileHandle handle)
{
    std::FILE** slot = SlotOf(handle);
    if (!buffer || !slot || !*slot)
        return 0;
    return std::fwrite(buffer, size, count, *slot);
}

std::uint32_t CFileManager::GetFileSize(FileHandle handle)
{
    if (handle >= FILE_SLOT_COUNT || !m_Slots[handle])
        return 0;
    // A file beyond the 32-bit range reports the largest size rather than its
    // low bits, so no reader takes a prefix of it for the whole.
    const long long length = FileLength(m_Slots[handle]);
    if (length < 0)
        return 0;
    return length > static_cast<long long>(UINT32_MAX) ? UINT32_MAX : static_cast<std::uint32_t>(length);
}

// The save folder is made before every save: one that is already there is
// what the caller wants, not a failure.
int CFileManager::MakeDirectory(const char* path)
{
    if (CreateDirectoryA(path, nullptr))
        return 1;
    std::error_code ec;
    return path && std::filesystem::is_directory(path, ec) ? 1 : 0;
}

int CFileManager::RemoveFile(const char* path)
{
    return DeleteFileA(path);
}

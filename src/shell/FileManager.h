// The archive file layer: every data file under "Data/" is opened here by its
// relative path, from one of four archives (a ".pak" body file with a ".hdr"
// index) or, with the setting "File manager" 0, as a loose file. Save files
// are written through it as loose files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// 0..127: a loose file in that slot. 1000 + i: entry i of the Objects archive,
// served from memory. 4000 + s, 5000 + s, 6000 + s: slot s holds the World,
// Textures or SD ".pak" positioned at the entry. All bits set: no file.
using FileHandle = std::uint32_t;
constexpr FileHandle INVALID_FILE_HANDLE = 0xFFFFFFFFu;

// Open modes: 0 loose text, 1 loose binary, or the archive id.
enum {
    FILE_MODE_TEXT = 0,
    FILE_MODE_BINARY = 1,
    ARCHIVE_OBJECTS = 1000,
    ARCHIVE_WORLD = 4000,
    ARCHIVE_TEXTURES = 5000,
    ARCHIVE_SD = 6000,
};

enum {
    ARCHIVE_COUNT = 4,
    FILE_SLOT_COUNT = 128,
    ARCHIVE_NAME_SIZE = 256,
    MAX_OBJECTS_ENTRIES = 3000, // 1000 + i stays below 4000
};

// One index entry in memory.
struct ArchiveEntry {
    char name[ARCHIVE_NAME_SIZE]; // unscrambled, terminated
    std::uint32_t size;           // body size in bytes
    std::uint32_t offset;         // body offset in the ".pak"
    std::uint8_t* data;           // unscrambled body (Objects only)
    std::uint32_t readPos;        // next byte for ReadLine (Objects only)
};

class CFileManager {
public:
    // Loads the four indexes, or none with "File manager" 0. Tables and files
    // left from an earlier call are released first. Returns 1.
    int Init();
    FileHandle Open(const char* path, std::uint32_t mode, std::uint32_t* outSize = nullptr);
    // Mode 0 text, 1 binary; returns the slot or INVALID_FILE_HANDLE.
    FileHandle OpenForWrite(const char* path, std::uint32_t mode);
    // 0 when closing a loose file failed: a write the C library still held
    // in its buffer (a full disk shows only here) did not reach the file.
    // A writer must check it before it reports the file as written.
    int Close(FileHandle handle);
    std::size_t Read(void* buffer, std::size_t size, std::size_t count, FileHandle handle);
    // One line without its line end; empty at the end of the data.
    void ReadLine(char* buffer, std::uint32_t n, FileHandle handle);
    // The count of whole items written, as fwrite reports it.
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count, FileHandle handle);
    // 1 when nothing is left to read: past an Objects entry's end, or at the
    // end of a loose file. Line readers stop there when a marker line is missing.
    int IsAtEnd(FileHandle handle);
    // Size of a loose file (rewinds it); 0 for any other handle.
    std::uint32_t GetFileSize(FileHandle handle);
    int MakeDirectory(const char* path);
    int RemoveFile(const char* path);
    FileHandle FindFreeSlot();
    // Reads the index of an archive (and, when asked, every body into
    // memory). Returns the new table, or null with count 0.
    ArchiveEntry* LoadIndex(std::uint32_t archiveId, std::uint32_t* outCount, int loadBodies);

    std::uint32_t m_EntryCount[ARCHIVE_COUNT] = {};
    ArchiveEntry* m_pEntries[ARCHIVE_COUNT] = {};
    std::uint32_t m_bLooseOnly = 0;
    std::FILE* m_Slots[FILE_SLOT_COUNT] = {};

private:
    void ReleaseAll();
    FileHandle OpenLoose(const char* path, const char* mode, std::uint32_t* outSize);
    FileHandle OpenPacked(const char* path, std::uint32_t mode, std::uint32_t* outSize);
    const ArchiveEntry* FindEntry(int archive, const char* path, std::uint32_t* index) const;
    std::FILE** SlotOf(FileHandle handle);
    ArchiveEntry* ObjectsEntryOf(FileHandle handle);
};

extern CFileManager g_FileManager;

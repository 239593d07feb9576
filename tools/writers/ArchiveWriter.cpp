#include "writers/ArchiveWriter.h"

#include "writers/FileBytes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <limits>

namespace tools {

namespace {

namespace fs = std::filesystem;

struct ArchiveName {
    std::uint32_t id;
    const char* baseName;
};

const ArchiveName kArchives[] = {
    {1000, "Objects"},
    {4000, "World"},
    {5000, "Textures"},
    {6000, "SD"},
};

struct ExtensionRule {
    const char* extension;
    std::uint32_t archive;
};

const ExtensionRule kRules[] = {
    {".obj", 1000}, {".dds", 5000}, {".bmp", 5000}, {".jpg", 5000},
    {".tga", 5000}, {".png", 5000}, {".wav", 6000},
};

// Handles 1000 + i of the Objects archive stay below 4000.
const std::size_t kMaxObjectsEntries = 3000;

char Scramble(char c)
{
    return static_cast<char>(static_cast<unsigned char>(c) ^ 0x80u);
}

void AppendU32(std::string* out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool IsArchiveFile(const fs::path& dataDir, const fs::path& file)
{
    if (file.parent_path() != dataDir)
        return false;
    for (const ArchiveName& a : kArchives)
        if (file.filename() == std::string(a.baseName) + ".hdr" || file.filename() == std::string(a.baseName) + ".pak")
            return true;
    return false;
}

// Every loose file below <root>/Data with its archive name, in name order.
bool CollectTree(const fs::path& root, std::vector<PackEntry>* files)
{
    const fs::path dataDir = root / "Data";
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec))
        return true;
    for (auto it = fs::recursive_directory_iterator(dataDir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file() || IsArchiveFile(dataDir, it->path()))
            continue;
        PackEntry e{fs::relative(it->path(), root).generic_string(), {}};
        if (!ReadFileBytes(it->path(), &e.bytes))
            return false;
        files->push_back(std::move(e));
    }
    std::sort(files->begin(), files->end(), [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; });
    return !ec;
}

} // namespace

std::uint32_t ArchiveForName(const std::string& name)
{
    std::string ext = fs::path(name).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const ExtensionRule& r : kRules)
        if (ext == r.extension)
            return r.archive;
    return 4000;
}

std::string EncodeIndex(const std::vector<IndexRecord>& records)
{
    std::string out;
    for (const IndexRecord& r : records) {
        for (char c : r.name)
            out.push_back(Scramble(c));
        out.push_back('\0');
        AppendU32(&out, r.size);
        AppendU32(&out, r.offset);
    }
    AppendU32(&out, static_cast<std::uint32_t>(records.size()));
    return out;
}

bool WriteArchive(const std::string& dataDir, const std::string& baseName,
                  const std::vector<PackEntry>& entries, bool scrambleBodies)
{
    std::string body;
    std::vector<IndexRecord> records;
    for (const PackEntry& e : entries) {
        const std::uint64_t end = static_cast<std::uint64_t>(body.size()) + e.bytes.size();
        if (end > std::numeric_limits<std::uint32_t>::max() || e.name.size() >= 256)
            return false;
        records.push_back({e.name, static_cast<std::uint32_t>(e.bytes.size()), static_cast<std::uint32_t>(body.size())});
        for (char c : e.bytes)
            body.push_back(scrambleBodies ? Scramble(c) : c);
    }
    const fs::path dir(dataDir);
    std::error_code ec;
    fs::create_directories(dir, ec);
    return !ec && WriteFileBytes(dir / (baseName + ".hdr"), EncodeIndex(records)) &&
           WriteFileBytes(dir / (baseName + ".pak"), body);
}

bool PackDataTree(const std::string& root)
{
    std::vector<PackEntry> files;
    if (!CollectTree(root, &files))
        return false;
    for (const ArchiveName& a : kArchives) {
        std::vector<PackEntry> mine;
        for (const PackEntry& f : files)
            if (ArchiveForName(f.name) == a.id)
                mine.push_back(f);
        if (a.id == 1000 && mine.size() > kMaxObjectsEntries) {
            std::fprintf(stderr, "more than %zu Objects files\n", kMaxObjectsEntries);
            return false;
        }
        if (!WriteArchive((fs::path(root) / "Data").string(), a.baseName, mine, a.id == 1000)) {
            std::fprintf(stderr, "packing %s failed\n", a.baseName);
            return false;
        }
    }
    return true;
}

} // namespace tools

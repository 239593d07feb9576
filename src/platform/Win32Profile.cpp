#include "platform/Win32Profile.h"

#include "platform/Win32Files.h"
#include "platform/Win32Shell.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

namespace {

unsigned s_profileReads = 0;

// What the plain profile calls read: far above any settings file.
const std::size_t kProfileCallMaxBytes = 16u << 20;

// Splits the file's bytes into lines without their line ends; the line end
// to write them back with is CR LF when the first line used it.
void SplitLines(const std::vector<std::uint8_t>& bytes, plat::ProfileText* text)
{
    std::string line;
    bool sawLineEnd = false;
    for (const std::uint8_t c : bytes) {
        if (c != '\n') {
            line.push_back(static_cast<char>(c));
            continue;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            if (!sawLineEnd)
                text->eol = "\r\n";
        }
        sawLineEnd = true;
        text->lines.push_back(line);
        line.clear();
    }
    if (!line.empty())
        text->lines.push_back(line);
}

// Where a key stands in the file: its line, its section's header line and
// the line after the section's last non-blank line (-1 when absent).
struct KeyPlace {
    int keyLine = -1;
    int sectionLine = -1;
    int insertAt = -1;
};

std::string Trim(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The name of a "[Section]" line, or false for any other line.
bool SectionOfLine(const std::string& line, std::string* name)
{
    const std::string t = Trim(line);
    if (t.empty() || t[0] != '[')
        return false;
    const std::size_t close = t.find(']');
    *name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// The key of a "Key=Value" line and the position of its '='.
bool KeyOfLine(const std::string& line, std::string* key, std::size_t* equals)
{
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '[')
        return false;
    *equals = line.find('=');
    if (*equals == std::string::npos)
        return false;
    *key = Trim(line.substr(0, *equals));
    return true;
}

KeyPlace FindKey(const plat::ProfileText& text, const char* section, const char* key)
{
    KeyPlace place;
    bool inSection = false;
    for (int i = 0; i < static_cast<int>(text.lines.size()); ++i) {
        const std::string& line = text.lines[i];
        std::string name;
        if (SectionOfLine(line, &name)) {
            if (inSection)
                break;
            inSection = place.sectionLine < 0 && strcasecmp(name.c_str(), section) == 0;
            if (inSection)
                place.sectionLine = place.insertAt = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!Trim(line).empty())
            place.insertAt = i;
        std::size_t equals = 0;
        if (place.keyLine < 0 && KeyOfLine(line, &name, &equals) && strcasecmp(name.c_str(), key) == 0)
            place.keyLine = i;
    }
    if (place.insertAt >= 0)
        ++place.insertAt;
    return place;
}

std::string ValueOfLine(const std::string& line)
{
    std::string value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value;
}

DWORD CopyOut(const std::string& value, char* buffer, DWORD size)
{
    const DWORD n = value.size() < size ? static_cast<DWORD>(value.size()) : size - 1;
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

} // namespace

namespace plat {

ProfileLoad LoadProfileText(const char* fileName, std::size_t maxBytes, ProfileText* text)
{
    *text = ProfileText();
    ++s_profileReads;
    std::FILE* probe = fileName ? OpenFile(fileName, "rb") : nullptr;
    if (!probe) {
        struct stat info {};
        const bool exists = fileName && stat(NativePath(fileName).c_str(), &info) == 0;
        return exists ? ProfileLoad::Refused : ProfileLoad::Missing;
    }
    std::fclose(probe);
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(fileName, &bytes, maxBytes))
        return ProfileLoad::Refused;
    SplitLines(bytes, text);
    return ProfileLoad::Loaded;
}

DWORD ProfileGet(const ProfileText& text, const char* section, const char* key, const char* defaultValue,
                 char* buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    const std::string fallback = defaultValue ? defaultValue : "";
    if (!section || !key)
        return CopyOut(fallback, buffer, size);
    const KeyPlace place = FindKey(text, section, key);
    if (place.keyLine < 0)
        return CopyOut(fallback, buffer, size);
    return CopyOut(ValueOfLine(text.lines[place.keyLine]), buffer, size);
}

void ProfileSet(ProfileText* text, const char* section, const char* key, const char* value)
{
    const KeyPlace place = FindKey(*text, section, key);
    if (place.keyLine >= 0) {
        std::string& line = text->lines[place.keyLine];
        line = Trim(line.substr(0, line.find('='))) + "=" + value;
    } else if (place.sectionLine >= 0) {
        text->lines.insert(text->lines.begin() + place.insertAt, std::string(key) + "=" + value);
    } else {
        if (!text->lines.empty() && !Trim(text->lines.back()).empty())
            text->lines.emplace_back();
        text->lines.push_back("[" + std::string(section) + "]");
        text->lines.push_back(std::string(key) + "=" + value);
    }
}

std::string ProfileBytes(const ProfileText& text)
{
    std::string bytes;
    for (const std::string& line : text.lines)
        bytes += line + text.eol;
    return bytes;
}

unsigned ProfileReadCount()
{
    return s_profileReads;
}

bool SaveProfileText(const char* fileName, const ProfileText& text)
{
    const std::string bytes = ProfileBytes(text);
    return ReplaceFileWhole(fileName, bytes.data(), bytes.size());
}

} // namespace plat

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName)
{
    plat::ProfileText text;
    plat::LoadProfileText(fileName, kProfileCallMaxBytes, &text);
    return plat::ProfileGet(text, section, key, defaultValue, buffer, size);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName)
{
    if (!section || !key || !value || !fileName)
        return FALSE;
    plat::ProfileText text;
    if (plat::LoadProfileText(fileName, kProfileCallMaxBytes, &text) == plat::ProfileLoad::Refused)
        return FALSE;
    plat::ProfileSet(&text, section, key, value);
    return plat::SaveProfileText(fileName, text) ? TRUE : FALSE;
}

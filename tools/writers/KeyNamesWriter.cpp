#include "writers/KeyNamesWriter.h"

#include "writers/FileBytes.h"

namespace tools {

std::vector<KeyName> SampleKeyNames()
{
    std::vector<KeyName> keys = {
        {8, "Backspace"}, {9, "Tab"},       {13, "Enter"},     {16, "Shift"},    {17, "Ctrl"},
        {18, "Alt"},      {19, "Pause"},    {27, "Escape"},    {32, "Space"},    {33, "Page Up"},
        {34, "Page Down"}, {35, "End"},     {36, "Home"},      {37, "Left"},     {38, "Up"},
        {39, "Right"},    {40, "Down"},     {45, "Insert"},    {46, "Delete"},   {106, "Num *"},
        {107, "Num +"},   {109, "Num -"},   {110, "Num ."},    {111, "Num /"},
    };
    for (int c = '0'; c <= '9'; ++c)
        keys.push_back({c, std::string(1, static_cast<char>(c))});
    for (int c = 'A'; c <= 'Z'; ++c)
        keys.push_back({c, std::string(1, static_cast<char>(c))});
    for (int i = 0; i < 10; ++i)
        keys.push_back({96 + i, "Num " + std::to_string(i)});
    for (int i = 0; i < 12; ++i)
        keys.push_back({112 + i, "F" + std::to_string(i + 1)});
    return keys;
}

std::string KeyNamesText(const std::vector<KeyName>& keys)
{
    std::string text = "// Key names\n// code line, then name line\n//\n";
    for (const KeyName& k : keys)
        text += std::to_string(k.code) + "\n" + k.name + "\n";
    return text + "////\n";
}

bool WriteKeyNames(const std::string& path, const std::vector<KeyName>& keys)
{
    return WriteFileBytes(path, KeyNamesText(keys));
}

} // namespace tools

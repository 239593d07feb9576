#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test {

ScopedTempDir::ScopedTempDir() : m_previous(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "morvaine-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    std::filesystem::current_path(m_path);
}

ScopedTempDir::~ScopedTempDir()
{
    std::error_code ec;
    std::filesystem::current_path(m_previous, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

} // namespace test

#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <csignal>
#include <sys/resource.h>

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

ScopedFileSizeLimit::ScopedFileSizeLimit(unsigned long maxBytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous[0] = limit.rlim_cur;
    m_previous[1] = limit.rlim_max;
    // Past the limit the write fails with EFBIG instead of ending the process.
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = maxBytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    const rlimit limit{m_previous[0], m_previous[1]};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
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

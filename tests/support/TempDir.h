// A fresh working directory for one test: tests run in parallel processes and
// the game reads and writes files relative to the working directory.
#pragma once

#include <filesystem>
#include <string>

namespace test {

class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

// While it lives, no file of this process may grow beyond maxBytes: a write
// past that fails as it does on a full disk (after the bytes that fit).
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(unsigned long maxBytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    unsigned long m_previous[2];
    void (*m_previousHandler)(int);
};

// Whole contents of a file, or an empty string when it cannot be read.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace test

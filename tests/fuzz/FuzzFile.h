#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// One file of the process's own in the temporary folder, rewritten for
// every case, so that the code under test reads and writes real files.
// Removed when the fuzzer ends normally; after a mismatch it stays.
class FuzzFile {
public:
    explicit FuzzFile(const std::string& name)
        : m_path((std::filesystem::temp_directory_path()
            / ("welmo_fuzz_" + std::to_string(::getpid()) + "_" + name))
                     .string())
    {
    }
    ~FuzzFile() { std::remove(m_path.c_str()); }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

inline bool writeFuzzFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

inline std::string readFuzzFile(const std::string& path)
{
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

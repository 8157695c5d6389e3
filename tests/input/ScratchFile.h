#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// A file with given bytes in the temporary folder, removed when the object
// goes.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& bytes)
    {
        static int serial = 0;
        m_path = (std::filesystem::temp_directory_path()
            / ("welmo_input_" + std::to_string(::getpid()) + "_" + std::to_string(serial++)
                + ".dat"))
                     .string();
        std::FILE* file = std::fopen(m_path.c_str(), "wb");
        if (file) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
    }
    ~ScratchFile() { std::remove(m_path.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

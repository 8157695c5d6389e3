#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

// Writes a file so that readers see either the old content or the whole new
// one. What `begin` finds at the name decides how:
// - a regular file, or nothing: the bytes go to a temporary file in the
//   same folder, which commit() syncs and renames over the name, keeping
//   the old file's mode (and its owner and group where the process may set
//   them); the folder is synced after the rename;
// - a symbolic link: the same for the file it leads to, the link kept;
// - a FIFO or a character device (/dev/null, a terminal): written through,
//   as the shell's redirection writes them, never replaced;
// - anything else (a folder, a block device, a socket), an empty name or a
//   file the process may not write: refused before a byte is written.
// The temporary file's name holds the writing process's id, so that a later
// writer in the same folder removes one that a killed process left behind.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Returns "" when the bytes may now be written to descriptor(), else the
    // reason (the system's, as strerror words it).
    std::string begin(const std::string& target);
    int descriptor() const { return m_descriptor; }

    // Writes all `size` bytes; returns 0 or the system's error number.
    int write(const char* data, std::size_t size);

    // Puts the bytes in place. `goOn` is asked last, just before the rename:
    // false abandons the write (ECANCELED) and leaves the old file. Returns 0
    // or the error number; on failure the old file is as it was.
    int commit(const std::function<bool()>& goOn = {});

    // Removes the temporary file, leaving the target as it was.
    void abandon();

    // Whether the target is written through rather than replaced.
    bool writesThrough() const { return m_through; }

private:
    std::string m_target; // the name the bytes end under, links followed
    std::string m_temporary;
    int m_descriptor = -1;
    bool m_through = false;
};

// The prefix of the temporary files' names (".welmo-PID-XXXXXX").
inline constexpr const char* TEMPORARY_PREFIX = ".welmo-";

// Removes the temporary files in `folder` ("" for the current one) whose
// writer is gone: no process has its id, or the process with that id
// started after the file was last written. Returns how many it removed.
int removeStaleTemporaries(const std::string& folder);

// Writes all `size` bytes to `descriptor`; returns 0 or the system's error
// number (ECANCELED when a stop signal ended a write that a FIFO held).
int writeAll(int descriptor, const char* data, std::size_t size);

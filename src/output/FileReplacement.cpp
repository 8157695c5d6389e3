#include "output/FileReplacement.h"

#include "core/Progress.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the system itself follows in one name.
constexpr int MAX_LINKS = 40;

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The name that a write to `path` ends at: symbolic links followed to the
// first name that is not one (or that does not exist yet, which a write
// creates, as the shell's does). Returns 0 or the error number.
int followLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    for (int i = 0; i < MAX_LINKS; ++i) {
        struct stat status;
        if (::lstat(resolved.c_str(), &status) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(status.st_mode))
            return 0;
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t length = ::readlink(resolved.c_str(), target.data(), target.size());
        if (length <= 0)
            return length < 0 ? errno : ENOENT;
        target.resize(static_cast<std::size_t>(length));
        resolved = target.front() == '/' ? target : folderOf(resolved) + target;
    }
    return ELOOP;
}

// mkstemp makes the file for its owner only; the new file gets what an
// ordinary open for writing would have left: the old file's mode, owner and
// group, or the default under the umask.
void takeOverAttributes(int descriptor, const struct stat* old)
{
    if (!old) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(descriptor, 0666 & ~mask);
        return;
    }
    // The owner first: changing it may clear the set-id bits of the mode.
    if (::fchown(descriptor, old->st_uid, old->st_gid) != 0)
        (void)!::fchown(descriptor, static_cast<uid_t>(-1), old->st_gid);
    ::fchmod(descriptor, old->st_mode & 07777);
}

// Syncs a folder's entries, so that a rename in it survives a power loss.
void syncFolder(const std::string& folder)
{
    const int descriptor
        = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

// The process's start in seconds since the epoch, or -1 when unknown.
long long processStart(long pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return -1;
    // The command's name, in parentheses, may hold blanks; the fields after
    // it are plain numbers, the start time (in clock ticks after the boot)
    // the 20th of them.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    for (int i = 0; i < 20 && fields >> field; ++i) { }
    const unsigned long long ticks = std::strtoull(field.c_str(), nullptr, 10);
    std::ifstream system("/proc/stat");
    long long boot = -1;
    while (std::getline(system, line))
        if (line.rfind("btime ", 0) == 0)
            boot = std::atoll(line.c_str() + 6);
    const long perSecond = ::sysconf(_SC_CLK_TCK);
    if (boot < 0 || perSecond <= 0 || fields.fail())
        return -1;
    return boot + static_cast<long long>(ticks / static_cast<unsigned long long>(perSecond));
}

// Whether the writer of a temporary file named for `pid`, last written at
// `written`, is gone.
bool writerGone(long pid, time_t written)
{
    if (pid <= 0 || pid == static_cast<long>(::getpid()))
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return true;
    // A live process that started after the last write reuses the id. The
    // start is known to the second; a doubt keeps the file.
    const long long start = processStart(pid);
    return start >= 0 && start > static_cast<long long>(written) + 1;
}

// The writer's process id in a temporary file's name, or 0.
long temporaryOwner(const char* name)
{
    const std::size_t prefix = std::strlen(TEMPORARY_PREFIX);
    if (std::strncmp(name, TEMPORARY_PREFIX, prefix) != 0)
        return 0;
    char* end = nullptr;
    const long pid = std::strtol(name + prefix, &end, 10);
    // mkstemp's six characters follow the id and a dash.
    return end && *end == '-' && std::strlen(end) == 7 ? pid : 0;
}

} // namespace

int removeStaleTemporaries(const std::string& folder)
{
    DIR* entries = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!entries)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(entries)) {
        const long pid = temporaryOwner(entry->d_name);
        struct stat status;
        if (pid == 0
            || ::fstatat(::dirfd(entries), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(status.st_mode))
            continue;
        if (writerGone(pid, status.st_mtime) && ::unlinkat(::dirfd(entries), entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(entries);
    return removed;
}

FileReplacement::~FileReplacement()
{
    abandon();
}

std::string FileReplacement::begin(const std::string& target)
{
    abandon();
    if (target.empty())
        return std::strerror(ENOENT);
    if (target.back() == '/')
        return std::strerror(EISDIR);
    if (const int error = followLinks(target, m_target))
        return std::strerror(error);
    struct stat old;
    const bool exists = ::stat(m_target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return std::strerror(EISDIR);
    if (exists && (S_ISFIFO(old.st_mode) || S_ISCHR(old.st_mode))) {
        // No O_TRUNC, which a FIFO or a device ignores anyway; the open of a
        // FIFO waits for a reader, and a stop signal ends the wait.
        m_descriptor = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (m_descriptor < 0)
            return std::strerror(errno);
        m_through = true;
        return "";
    }
    if (exists && !S_ISREG(old.st_mode))
        return "It is no regular file, FIFO or character device";
    // The shell would refuse to write it; a rename would not, so it asks.
    if (exists && ::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0)
        return std::strerror(errno);

    const std::string folder = folderOf(m_target);
    removeStaleTemporaries(folder);
    m_temporary = folder + TEMPORARY_PREFIX + std::to_string(::getpid()) + "-XXXXXX";
    m_descriptor = ::mkstemp(m_temporary.data());
    if (m_descriptor < 0) {
        const int error = errno;
        m_temporary.clear();
        return std::strerror(error);
    }
    ::fcntl(m_descriptor, F_SETFD, FD_CLOEXEC);
    takeOverAttributes(m_descriptor, exists ? &old : nullptr);
    return "";
}

int writeAll(int descriptor, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            // A FIFO that nobody reads holds the write until a signal; a
            // stop signal ends it there.
            if (errno == EINTR && !processStopRequested())
                continue;
            return errno == EINTR ? ECANCELED : errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

int FileReplacement::write(const char* data, std::size_t size)
{
    return writeAll(m_descriptor, data, size);
}

int FileReplacement::commit(const std::function<bool()>& goOn)
{
    if (m_descriptor < 0)
        return EBADF;
    // A device or a FIFO has already taken the bytes: the stop comes too
    // late to keep anything, and the write is done.
    int failure = 0;
    if (!m_through && ::fsync(m_descriptor) != 0)
        failure = errno;
    if (::close(m_descriptor) != 0 && failure == 0 && errno != EINTR)
        failure = errno;
    m_descriptor = -1;
    if (m_through)
        return failure;
    if (failure == 0 && goOn && !goOn())
        failure = ECANCELED;
    if (failure == 0 && std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        abandon();
        return failure;
    }
    m_temporary.clear();
    syncFolder(folderOf(m_target));
    return 0;
}

void FileReplacement::abandon()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_through = false;
}

#include "input/ByteStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

ByteStream::ByteStream(std::size_t capacity)
    : m_buffer(new (std::nothrow) char[(capacity > 0 ? capacity : 1) + PADDING]())
    , m_capacity(m_buffer ? (capacity > 0 ? capacity : 1) : 0)
{
    // Without a buffer the stream stays empty, still followed by padding.
    static const char noBytes[PADDING] = {};
    m_start = m_buffer ? m_buffer.get() : noBytes;
    m_pos = m_end = m_start;
}

ByteStream::ByteStream(const char* begin, const char* end)
    : m_start(begin)
    , m_pos(begin)
    , m_end(end)
{
}

ByteStream::~ByteStream()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ByteStream::open(const std::string& fileName)
{
    if (!m_buffer || m_fd >= 0)
        return false;
    m_fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    m_pos = m_end = m_buffer.get();
    m_discarded = 0;
    m_drained = false;
    struct stat status;
    m_regular = ::fstat(m_fd, &status) == 0 && S_ISREG(status.st_mode);
    m_size = m_regular ? static_cast<std::uint64_t>(status.st_size) : 0;
    return true;
}

bool ByteStream::seek(std::uint64_t offset)
{
    if (!m_buffer || m_fd < 0 || ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0)
        return false;
    m_pos = m_end = m_buffer.get();
    std::memset(m_buffer.get(), 0, PADDING);
    m_discarded = offset;
    m_drained = false;
    return true;
}

bool ByteStream::readable() const
{
    if (!m_goOn)
        return true;
    if (!m_goOn())
        return false;
    if (m_regular)
        return true;
    // A FIFO or a terminal may send nothing for ever: the wait is cut into
    // slices, with the question whether to stop between them, so that no
    // signal that comes just before the read is missed.
    pollfd wait = { m_fd, POLLIN, 0 };
    for (;;) {
        const int ready = ::poll(&wait, 1, WAIT_SLICE_MS);
        if (ready != 0 && !(ready < 0 && errno == EINTR))
            return true;
        if (!m_goOn())
            return false;
    }
}

std::size_t ByteStream::refill(std::size_t wanted)
{
    char* const start = m_buffer.get();
    const auto kept = static_cast<std::size_t>(m_end - m_pos);
    m_discarded += static_cast<std::uint64_t>(m_pos - start);
    if (m_pos != start)
        std::memmove(start, m_pos, kept);
    m_pos = start;
    char* end = start + kept;
    char* const capacityEnd = start + m_capacity;
    while (end < capacityEnd && static_cast<std::size_t>(end - start) < wanted) {
        if (!readable()) {
            m_drained = true;
            break;
        }
        const ssize_t got = ::read(m_fd, end, static_cast<std::size_t>(capacityEnd - end));
        if (got > 0) {
            end += got;
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            m_drained = true;
            break;
        }
    }
    std::memset(end, 0, PADDING);
    m_end = end;
    return static_cast<std::size_t>(m_end - m_pos);
}

#include "input/PositionedRead.h"

#include <cerrno>
#include <unistd.h>

std::size_t readAt(int descriptor, char* into, std::size_t length, std::uint64_t offset)
{
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n
            = ::pread(descriptor, into + got, length - got, static_cast<off_t>(offset + got));
        if (n > 0)
            got += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return got;
}

#pragma once

#include <cstddef>

// Large buffers on 2 MiB pages. A buffer of megabytes otherwise takes a
// page fault for every 4 KiB on its first sweep (each of them costly where
// the system runs under a hypervisor), and the transforms' long strides
// miss the address translation cache on nearly every row.

// `bytes` of memory that std::free releases (and std::realloc may grow),
// null when memory is short. From 2 MiB on, the buffer begins on a 2 MiB
// boundary and owns the whole pages it touches, so that all of it
// can lie on large pages: the unused end of its last page is not handed
// out to others.
void* allocateOnLargePages(std::size_t bytes);

// Releases what allocateOnLargePages gave, as an owner's deleter.
struct FreeLargePages {
    void operator()(void* data) const;
};

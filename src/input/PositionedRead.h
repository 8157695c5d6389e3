#pragma once

#include <cstddef>
#include <cstdint>

// Reads up to `length` bytes at `offset` of an open file, leaving its
// position alone; fewer only at the end of the file or on a read error,
// which ends the data as it ends a C stream.
std::size_t readAt(int descriptor, char* into, std::size_t length, std::uint64_t offset);

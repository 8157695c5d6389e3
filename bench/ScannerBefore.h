#pragma once

#include "input/ByteStream.h"

#include <cstdint>

// readColumn and countRows of input/NumberScanner.h as they were before the
// plain-number skip, for the benchmarks' comparison.
namespace scannerBefore {

std::uint64_t readColumn(
    ByteStream& stream, int columns, int kept, std::uint64_t count, float* out);
std::uint64_t countRows(ByteStream& stream, int columns, std::uint64_t maxRows);

} // namespace scannerBefore

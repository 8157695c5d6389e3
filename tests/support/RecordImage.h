#pragma once

#include "core/AnalysisState.h"

#include <cstdint>
#include <cstring>
#include <vector>

// Everything a command may change in the record, as one comparable value:
// the values as they are, the buffers bit for bit (NaN payloads included).
// The dialogs' hand-shake flag is left out: a command clears it before its
// dialog whether or not the dialog is then cancelled.
struct RecordImage {
    RecordValues values;
    std::vector<std::uint32_t> series, psd;
    bool operator==(const RecordImage&) const = default;
};

inline std::vector<std::uint32_t> bitsOf(const FloatBuffer& buffer)
{
    std::vector<std::uint32_t> bits(buffer.size());
    if (!bits.empty())
        std::memcpy(bits.data(), buffer.data(), bits.size() * sizeof(float));
    return bits;
}

inline RecordImage recordImage(const AnalysisState& state)
{
    RecordImage image { state, bitsOf(state.series), bitsOf(state.psd) };
    image.values.dialogAccepted = 0;
    return image;
}

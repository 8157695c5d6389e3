#pragma once

#include "core/FloatBuffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What names a spectrum: the file and column it came from, its size M,
// segment count K and data window, and the time step of its series when
// it has one (hasTimeStep 0: frequencies in cycles per sample).
struct CurveIdentity {
    std::string fileName;
    int column = 1;
    int psdSize = 0;
    int segmentCount = 1;
    std::string windowName;
    int hasTimeStep = 0;
    double timeStep = 1.0;
    std::string timeUnit;
};

// "run1.dat:2, M=1024, K=8, Hanning": the file's own name, without its
// folders, so that a legend line stays short.
std::string curveLabel(const CurveIdentity& identity);

// One kept spectrum: entries 0..M of its estimate, copied, and a number
// that no other copy kept in this process has, by which a drawing of it
// is known again.
struct ReferenceCurve {
    CurveIdentity identity;
    FloatBuffer psd;
    std::uint64_t serial = 0;
};

inline constexpr std::size_t MAX_REFERENCES = 8;

// The message of a keep when MAX_REFERENCES are kept already: the oldest
// is never dropped without the user's word.
inline constexpr const char* REFERENCES_FULL
    = "8 references are kept already: Clear References first";
inline constexpr const char* NO_REFERENCES_TO_EXPORT = "No references to export";

// The spectra kept to compare the live one with, oldest first. They are no
// part of the record: a cancelled command leaves them, and a new estimate
// does not change them.
class ReferenceCurves {
public:
    enum class Kept { KEPT, FULL, NO_MEMORY };

    // Copies `entries` values of `psd` (entries 0..M); refuses a ninth
    // curve and leaves the set as it was when the copy cannot be made.
    Kept keep(const CurveIdentity& identity, const float* psd, std::size_t entries);
    void clear() { m_curves.clear(); }

    std::size_t size() const { return m_curves.size(); }
    bool empty() const { return m_curves.empty(); }
    const ReferenceCurve& operator[](std::size_t i) const { return m_curves[i]; }

private:
    std::vector<ReferenceCurve> m_curves;
};

#include "core/ReferenceCurves.h"

#include "core/CFormat.h"

#include <algorithm>
#include <atomic>

std::string curveLabel(const CurveIdentity& identity)
{
    const std::size_t slash = identity.fileName.rfind('/');
    const std::string name
        = slash == std::string::npos ? identity.fileName : identity.fileName.substr(slash + 1);
    return name
        + formatC(":%d, M=%d, K=%d, ", identity.column, identity.psdSize, identity.segmentCount)
        + identity.windowName;
}

ReferenceCurves::Kept ReferenceCurves::keep(
    const CurveIdentity& identity, const float* psd, std::size_t entries)
{
    if (m_curves.size() >= MAX_REFERENCES)
        return Kept::FULL;
    static std::atomic<std::uint64_t> kept { 0 };
    ReferenceCurve curve { identity, {}, ++kept };
    if (!curve.psd.allocate(entries))
        return Kept::NO_MEMORY;
    std::copy(psd, psd + entries, curve.psd.data());
    m_curves.push_back(std::move(curve));
    return Kept::KEPT;
}

#include "plot/ReferenceCache.h"

#include "plot/SpectrumCurves.h"

ReferenceCache::ReferenceCache()
    : m_entries(std::make_unique<Entries>())
{
}

ReferenceCache::~ReferenceCache() = default;

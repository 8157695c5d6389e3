#pragma once

#include <memory>

// The reference curves reduced to their device columns at the last paint.
// References never change once kept, so a repaint under the same panel,
// window, scales and time steps draws them from here instead of reading
// every entry of eight spectra again; anything else reduces them afresh,
// and curves no longer drawn are let go. Used only by the thread that
// paints. The entries are known only to the picture's code.
class ReferenceCache {
public:
    ReferenceCache();
    ~ReferenceCache();
    ReferenceCache(const ReferenceCache&) = delete;
    ReferenceCache& operator=(const ReferenceCache&) = delete;

    struct Entries;
    Entries& entries() { return *m_entries; }

private:
    std::unique_ptr<Entries> m_entries;
};

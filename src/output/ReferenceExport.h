#pragma once

#include "core/ReferenceCurves.h"

#include <string>

// Writes every curve to `fileName`, the live spectrum (`live`, entries
// 0..M in `livePsd`) first, then the references in the order they were
// kept: one block per curve, led by "# " and the curve's label (with
// ", DT=" and its time step and unit when its series has one), then the
// log-log lines of the PSD export ("%f %f": log10 of i / (2M), the power
// limited to `minLog`) for entries 2..M-1; a blank line between blocks.
// Written through FileReplacement, so a failure leaves the old file.
// Refuses (1, NO_REFERENCES_TO_EXPORT) without references. Returns 0 on
// success, 1 with the system's reason in `error`.
int writeReferenceFile(const std::string& fileName, const CurveIdentity& live,
    const FloatBuffer& livePsd, const ReferenceCurves& references, double minLog,
    std::string& error);

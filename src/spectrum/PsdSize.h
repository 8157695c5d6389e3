#pragma once

// The largest power of two p with 2p <= N - K*S; 0 when N - K*S < 2.
int psdSizeLimit(unsigned N, int K, int S);

// The configuration's "auto" shift: K segments of 2M samples spread over N
// samples, never further apart than one segment length; 0 for one segment.
int automaticShift(unsigned N, int M, int K);

// The configuration dialog's largest size for K segments S apart, which
// counts K-1 shifts, not the estimate's K: -1 when they reach past the
// series (the edit is refused), 0 when no size of 2 or more fits.
int configurationSizeLimit(unsigned N, int K, int S);

// The dialog's + and -: twice the size, at most `largest`; half, at least 64.
int psdSizeUp(int size, int largest);
int psdSizeDown(int size);

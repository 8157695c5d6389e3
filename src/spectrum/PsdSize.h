#pragma once

// The largest power of two p with 2p <= N - K*S; 0 when N - K*S < 2.
int psdSizeLimit(unsigned N, int K, int S);

// The configuration's "auto" shift: K segments of 2M samples spread over N
// samples, never further apart than one segment length; 0 for one segment.
int automaticShift(unsigned N, int M, int K);

// The configuration dialog's own largest size for K segments S apart: it
// counts K-1 shifts (the room left for the first segment), not the K that
// the estimate counts. -1 when K-1 shifts reach past the series (the edit
// is refused), 0 when the room holds no size of at least 2 (the sizes
// stay as they were).
int configurationSizeLimit(unsigned N, int K, int S);

// The configuration dialog's + and -: twice the size but at most
// `largest`; half the size but at least 64 (OK lowers it to the largest).
int psdSizeUp(int size, int largest);
int psdSizeDown(int size);

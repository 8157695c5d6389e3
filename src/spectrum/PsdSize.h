#pragma once

// The largest power of two p with 2p <= N - K*S; 0 when N - K*S < 2.
int psdSizeLimit(unsigned N, int K, int S);

// The configuration's "auto" shift: K segments of 2M samples spread over N
// samples, never further apart than one segment length; 0 for one segment.
int automaticShift(unsigned N, int M, int K);

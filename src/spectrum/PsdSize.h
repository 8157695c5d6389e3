#pragma once

// The largest power of two p with 2p <= N - K*S; 0 when N - K*S < 2.
int psdSizeLimit(unsigned N, int K, int S);

// The configuration's "auto" shift: K segments of 2M samples spread over N
// samples, never further apart than one segment length nor than the
// longest shift taken; 0 for one segment.
int automaticShift(unsigned N, int M, int K);

// The configuration dialog's largest size for K segments S apart, which
// counts K-1 shifts, not the estimate's K: -1 when they reach past the
// series (the edit is refused), 0 when no size of 2 or more fits.
int configurationSizeLimit(unsigned N, int K, int S);

// The size the configuration dialog opens with when the record's size is
// unusable: the configuration's largest for K segments S apart, or else the
// largest one segment of the N samples can hold; never below MIN_PSD_SIZE.
int openingSizeLimit(unsigned N, int K, int S);

// The LB ratio (%) of `lbFrequencies` bins at size M, in the dialog's range.
double openingLbRatio(int lbFrequencies, int M);

// The dialog's + and -: twice the size, at most `largest`; half, at least 64.
int psdSizeUp(int size, int largest);
int psdSizeDown(int size);

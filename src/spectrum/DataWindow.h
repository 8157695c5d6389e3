#pragma once

#include <cmath>

// Window types, as the record's windowType holds them.
enum WindowType { NO_WINDOW = 0, HANNING_WINDOW = 1, PARZEN_WINDOW = 2, WELCH_WINDOW = 3 };
inline constexpr int WINDOW_TYPE_COUNT = 4;
// The names the configuration dialog lists, indexed by WindowType.
inline constexpr const char* WINDOW_NAMES[WINDOW_TYPE_COUNT]
    = { "No filter", "Hanning", "Parzen", "Welch" };

// Multiplies samples data[1..n] by the weights of `windowType` (any unknown
// type leaves them unchanged); each product is formed in double and rounded
// to float. n >= 2; smaller n leaves the samples unchanged (the raised
// cosine would divide by zero).
void applyDataWindow(int windowType, float* data, int n);

// True when `windowType` changes samples at all.
bool isTaperingWindow(int windowType);

// Weight of sample j+1 (j = 0..n-1) of a tapering window, the value
// applyDataWindow multiplies by. n >= 2.
double dataWindowWeight(int windowType, int j, int n);

// The Hanning weight of dataWindowWeight, inline for the loads that compute
// one per sample. 2*pi to 15 significant digits: the stored spectra were
// made with it.
inline double hanningWeight(int j, int n)
{
    return 0.5 * (1.0 - std::cos(6.28318530717959 * j / (n - 1)));
}

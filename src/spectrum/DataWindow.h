#pragma once

// Window types, as the record's windowType holds them.
enum WindowType { NO_WINDOW = 0, HANNING_WINDOW = 1, PARZEN_WINDOW = 2, WELCH_WINDOW = 3 };

// Multiplies samples data[1..n] by the weights of `windowType` (any unknown
// type leaves them unchanged). n >= 2.
void applyDataWindow(int windowType, float* data, int n);

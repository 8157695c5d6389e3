#pragma once

// Whether an estimate shows anything: its averaged bin powers, linear and
// before normalization (psd[0..M] as the estimator sums them; bins are
// floored at PSD_FLOOR, so that no power means every bin at the floor).
inline constexpr const char* MESSAGE_NO_POWER = "The series has no power to show: it is constant";

// True when bins 1..M are all finite and some bin 1..M-1 holds power above
// the floor; bin M holds the floor alone.
bool spectrumHasPower(const float* power, int M);

// spectrumHasPower taken over pieces [first, end) of the bins 1..M, in any
// order: a piece clears `finite` when one of its bins is not finite and
// sets `above` when one below M holds power above the floor.
struct PowerScan {
    bool finite = true;
    bool above = false;
};
void scanSpectrumPower(const float* power, int M, int first, int end, PowerScan& scan);

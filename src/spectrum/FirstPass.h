#pragma once

// The first butterfly pass of complexFft on real samples: elements a + 0i
// and b + 0i (in bit-reversed places r and r + 1) with the pass's only
// twiddle factor 1 + 0i. These are the operations of the pass, in its
// order, on those operands, so the bits are the pass's for every a and b:
// the imaginary results are +0 unless b is infinite or not a number, when
// 0*b makes them not a number, as the pass does. Only the loads and stores
// of the zero imaginary values and the separate sweep are saved.
inline void realFirstButterfly(float* pair, float a, float b)
{
    const double top = a;
    const double bottom = b;
    const double zero = 0.0;
    const double tempr = 1.0 * bottom - zero * zero;
    const double tempi = 1.0 * zero + zero * bottom;
    pair[0] = static_cast<float>(top + tempr);
    pair[1] = static_cast<float>(zero + tempi);
    pair[2] = static_cast<float>(top - tempr);
    pair[3] = static_cast<float>(zero - tempi);
}

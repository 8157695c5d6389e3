#pragma once

// In-place radix-2 decimation-in-time FFT with a positive exponent and no
// scaling. `data` points at entry 0 of at least 2*nn+1 floats; entries
// 1..2*nn hold nn complex values, real and imaginary parts interleaved.
// nn must be a power of two. Allocates nothing.
void complexFft(float* data, int nn);

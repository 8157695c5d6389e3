#pragma once

// The iterative radix-2 transform exactly as the textbook loop writes it,
// kept deliberately naive as the reference that the fast transform must
// match bit for bit: data[1..2*nn] interleaved complex, nn a power of two.
void plainComplexFft(float* data, int nn);

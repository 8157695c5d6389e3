#pragma once

#include <cstdint>

// value with its lowest `bits` bits in reverse order.
inline std::uint32_t reverseBits(std::uint32_t value, int bits)
{
    std::uint32_t result = 0;
    for (int i = 0; i < bits; ++i) {
        result = (result << 1) | (value & 1u);
        value >>= 1;
    }
    return result;
}

// Tiles of 2^kTileLog2 rows of 2^kTileLog2 elements (see forEachBitReversal).
inline constexpr int kTileLog2 = 5;

// complexFft's bit-reversal permutation of 2^log2n elements is walked in
// tiles (see forEachBitReversal); this many of them. Tiles touch disjoint
// elements, so separate threads may walk separate tiles.
inline std::uint32_t bitReversalTiles(int log2n)
{
    return log2n < 2 * kTileLog2 + 2 ? 1u : 1u << (log2n - 2 * kTileLog2);
}

// The walk of tiles [firstTile, endTile) of 2^q rows of 2^q elements, whose
// middle log2n - 2q bits are the tile number. With pairs set, visit(k, r)
// comes only for the k below 2^(log2n-1), whose r = reverse(k) is even:
// element k + 2^(log2n-1) goes to r + 1, the other half of the first pass's
// butterfly (q >= 1).
template <bool pairs, typename Visit>
inline void walkBitReversalTiles(int log2n, int q, bool eachPairOnce, std::uint32_t firstTile,
    std::uint32_t endTile, Visit&& visit)
{
    const int middleBits = log2n - 2 * q;
    const int highShift = log2n - q;
    std::uint32_t reversedLow[1 << kTileLog2];
    for (std::uint32_t i = 0; i < (1u << q); ++i)
        reversedLow[i] = reverseBits(i, q);
    const std::uint32_t rows = pairs ? 1u << (q - 1) : 1u << q;
    for (std::uint32_t b = firstTile; b < endTile; ++b) {
        const std::uint32_t rb = reverseBits(b, middleBits);
        if (eachPairOnce && rb < b)
            continue;
        const bool wholeTile = !eachPairOnce || rb != b;
        for (std::uint32_t a = 0; a < rows; ++a) {
            const std::uint32_t row = (a << highShift) | (b << q);
            const std::uint32_t column = (rb << q) | reversedLow[a];
            for (std::uint32_t lo = 0; lo < (1u << q); ++lo) {
                const std::uint32_t k = row | lo;
                const std::uint32_t r = (reversedLow[lo] << highShift) | column;
                if (wholeTile || r > k)
                    visit(k, r);
            }
        }
    }
}

// forEachBitReversal restricted to tiles [firstTile, endTile). A short
// permutation is one tile, walked in smaller tiles of its own.
template <typename Visit>
inline void forEachBitReversalInTiles(
    int log2n, bool eachPairOnce, std::uint32_t firstTile, std::uint32_t endTile, Visit&& visit)
{
    if (log2n < 2 * kTileLog2 + 2) {
        if (firstTile == 0 && endTile > 0) {
            const int q = log2n / 2;
            walkBitReversalTiles<false>(log2n, q, eachPairOnce, 0, 1u << (log2n - 2 * q), visit);
        }
        return;
    }
    walkBitReversalTiles<false>(log2n, kTileLog2, eachPairOnce, firstTile, endTile, visit);
}

// The pairs of the first butterfly pass within tiles [firstTile, endTile):
// visit(k, r) for every k below 2^(log2n-1), r = reverse(k) even, and k +
// 2^(log2n-1) going to r + 1. log2n >= 2.
template <typename Visit>
inline void forEachBitReversalPairInTiles(
    int log2n, std::uint32_t firstTile, std::uint32_t endTile, Visit&& visit)
{
    if (log2n < 2 * kTileLog2 + 2) {
        if (firstTile == 0 && endTile > 0) {
            const int q = log2n / 2;
            walkBitReversalTiles<true>(log2n, q, false, 0, 1u << (log2n - 2 * q), visit);
        }
        return;
    }
    walkBitReversalTiles<true>(log2n, kTileLog2, false, firstTile, endTile, visit);
}

// Calls visit(k, reverse(k)) for the 2^log2n indices k of complexFft's
// bit-reversal permutation: for every k when eachPairOnce is false, for one
// k of every pair k != reverse(k) when it is true. The order is free (the
// permutation's exchanges are disjoint), so large arrays are walked in tiles
// of 2^q rows of 2^q elements: a tile with middle bits b pairs with the tile
// of middle bits reverse(b), transposed, and both stay in the cache (and
// their pages in the address translation cache) while they are visited.
template <typename Visit>
inline void forEachBitReversal(int log2n, bool eachPairOnce, Visit&& visit)
{
    forEachBitReversalInTiles(log2n, eachPairOnce, 0, bitReversalTiles(log2n), visit);
}

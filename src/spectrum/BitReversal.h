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

// complexFft's bit-reversal permutation of 2^log2n elements is walked in
// tiles (see forEachBitReversal); this many of them. Tiles touch disjoint
// elements, so separate threads may walk separate tiles.
inline std::uint32_t bitReversalTiles(int log2n)
{
    constexpr int q = 5;
    return log2n < 2 * q + 2 ? 1u : 1u << (log2n - 2 * q);
}

// forEachBitReversal restricted to tiles [firstTile, endTile).
template <typename Visit>
inline void forEachBitReversalInTiles(
    int log2n, bool eachPairOnce, std::uint32_t firstTile, std::uint32_t endTile, Visit&& visit)
{
    constexpr int q = 5;
    if (log2n < 2 * q + 2) {
        if (firstTile > 0 || endTile == 0)
            return;
        const std::uint32_t nn = 1u << log2n;
        for (std::uint32_t k = 0; k < nn; ++k) {
            const std::uint32_t r = reverseBits(k, log2n);
            if (!eachPairOnce || r > k)
                visit(k, r);
        }
        return;
    }
    const int middleBits = log2n - 2 * q;
    const int highShift = log2n - q;
    std::uint32_t reversedLow[1 << q];
    for (std::uint32_t i = 0; i < (1u << q); ++i)
        reversedLow[i] = reverseBits(i, q);
    for (std::uint32_t b = firstTile; b < endTile; ++b) {
        const std::uint32_t rb = reverseBits(b, middleBits);
        if (eachPairOnce && rb < b)
            continue;
        const bool wholeTile = !eachPairOnce || rb != b;
        for (std::uint32_t a = 0; a < (1u << q); ++a) {
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

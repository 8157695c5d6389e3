#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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

// reverseBits(reverseBits(reversed, bits) + 1, bits): the next value of a
// count kept in reverse order, carried from the top bit down.
inline std::uint32_t nextReversed(std::uint32_t reversed, int bits)
{
    std::uint32_t bit = bits > 0 ? 1u << (bits - 1) : 0u;
    while (reversed & bit) {
        reversed ^= bit;
        bit >>= 1;
    }
    return reversed | bit;
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

// The long permutations, tile by tile through buffers: a tile's rows are
// 2^(log2n-q) elements apart, so the 2^q rows of a tile and those of its
// partner share a few cache sets and would evict each other if the elements
// were moved one by one. Each tile is read row by row into a buffer and
// written row by row from its partner's buffer, so every access to the array
// is a contiguous run of one row. Needs log2n >= 2 * kTileLog2 + 2.
struct LongBitReversal {
    static constexpr int q = kTileLog2;
    static constexpr std::uint32_t side = 1u << q;

    explicit LongBitReversal(int log2n)
        : middleBits(log2n - 2 * q)
        , highShift(log2n - q)
    {
        for (std::uint32_t i = 0; i < side; ++i)
            reversed[i] = reverseBits(i, q);
    }
    // Index of the first element of row a of tile b.
    std::size_t row(std::uint32_t b, std::uint32_t a) const
    {
        return (std::size_t { a } << highShift) | (std::size_t { b } << q);
    }

    int middleBits;
    int highShift;
    std::uint32_t reversed[side];
};

// The in-place exchanges of complexFft's bit reversal of the complex elements
// at c within tiles [firstTile, endTile) (see bitReversalTiles): each pair of
// tiles b, reverse(b) is exchanged by the smaller of the two. Elements move
// as bytes, so no value passes through a floating-point register.
inline void bitReverseLongTiles(float* c, int log2n, std::uint32_t firstTile, std::uint32_t endTile)
{
    const LongBitReversal walk(log2n);
    constexpr std::uint32_t side = LongBitReversal::side;
    constexpr std::size_t rowBytes = side * 8;
    alignas(64) std::uint64_t first[side * side];
    alignas(64) std::uint64_t second[side * side];
    // Row x of the tile that takes `from`: element y is element (rev y, rev x)
    // of `from`.
    auto writeTile = [&](std::uint32_t tile, const std::uint64_t* from) {
        for (std::uint32_t x = 0; x < side; ++x) {
            std::uint64_t row[side];
            for (std::uint32_t y = 0; y < side; ++y)
                row[y] = from[walk.reversed[y] * side + walk.reversed[x]];
            std::memcpy(c + 2 * walk.row(tile, x), row, rowBytes);
        }
    };
    for (std::uint32_t b = firstTile; b < endTile; ++b) {
        const std::uint32_t rb = reverseBits(b, walk.middleBits);
        if (rb < b)
            continue;
        for (std::uint32_t a = 0; a < side; ++a)
            std::memcpy(first + a * side, c + 2 * walk.row(b, a), rowBytes);
        if (rb == b) {
            writeTile(b, first);
            continue;
        }
        for (std::uint32_t a = 0; a < side; ++a)
            std::memcpy(second + a * side, c + 2 * walk.row(rb, a), rowBytes);
        writeTile(rb, first);
        writeTile(b, second);
    }
}

// forEachBitReversalPairInTiles for the long permutations, through a
// buffer: sampleOf(j) is read for the samples j of tile b row by row, then
// store(r, sampleOf(k), sampleOf(k + 2^(log2n-1))) comes for every r of
// tile reverse(b) row by row (r = reverse(k), even).
//
// The rows of a tile are 2^(log2n-q) samples apart, more streams than the
// processor follows ahead by itself, so prefetch(k) is called for the
// first sample k of every row a few tiles ahead (it asks for the rows that
// sampleOf reads from).
template <typename SampleOf, typename Store, typename Prefetch>
inline void forEachLongBitReversalPair(int log2n, std::uint32_t firstTile, std::uint32_t endTile,
    SampleOf&& sampleOf, Store&& store, Prefetch&& prefetch)
{
    constexpr std::uint32_t kTilesAhead = 2;
    const LongBitReversal walk(log2n);
    constexpr std::uint32_t side = LongBitReversal::side;
    constexpr std::uint32_t rows = side / 2;
    const std::size_t half = std::size_t { 1 } << (log2n - 1);
    alignas(64) float low[rows * side];
    alignas(64) float high[rows * side];
    for (std::uint32_t b = firstTile; b < endTile; ++b) {
        if (b + kTilesAhead < endTile) {
            for (std::uint32_t a = 0; a < rows; ++a) {
                prefetch(walk.row(b + kTilesAhead, a));
                prefetch(walk.row(b + kTilesAhead, a) + half);
            }
        }
        for (std::uint32_t a = 0; a < rows; ++a) {
            const std::size_t k = walk.row(b, a);
            for (std::uint32_t lo = 0; lo < side; ++lo) {
                low[a * side + lo] = sampleOf(k + lo);
                high[a * side + lo] = sampleOf(k + half + lo);
            }
        }
        const std::uint32_t rb = reverseBits(b, walk.middleBits);
        for (std::uint32_t x = 0; x < side; ++x) {
            const std::size_t r = walk.row(rb, x);
            const std::uint32_t lo = walk.reversed[x];
            for (std::uint32_t a = 0; a < rows; ++a)
                store(r + walk.reversed[a], low[a * side + lo], high[a * side + lo]);
        }
    }
}

// forEachBitReversalPairInTiles as sample reads and pair stores (see
// forEachLongBitReversalPair, which alone calls prefetch), for any
// log2n >= 2.
template <typename SampleOf, typename Store, typename Prefetch>
inline void forEachBitReversalPairOfSamples(int log2n, std::uint32_t firstTile,
    std::uint32_t endTile, SampleOf&& sampleOf, Store&& store, Prefetch&& prefetch)
{
    if (log2n >= 2 * kTileLog2 + 2) {
        forEachLongBitReversalPair(log2n, firstTile, endTile, sampleOf, store, prefetch);
        return;
    }
    const std::uint32_t half = 1u << (log2n - 1);
    forEachBitReversalPairInTiles(log2n, firstTile, endTile,
        [&](std::uint32_t k, std::uint32_t r) { store(r, sampleOf(k), sampleOf(k + half)); });
}

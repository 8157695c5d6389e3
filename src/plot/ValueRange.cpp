#include "plot/ValueRange.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

ValueRange valueRange(const float* values, std::size_t count)
{
    float low = values[0];
    float high = low;
    bool notANumber = std::isnan(low);
    std::size_t k = 1;
#if defined(__SSE2__)
    // Four lanes in two pairs of accumulators, so that the minimum and
    // maximum of one step need not wait for those of the step before.
    if (count >= 17) {
        __m128 lowA = _mm_set1_ps(low), lowB = lowA, highA = lowA, highB = lowA;
        __m128 unordered = _mm_cmpunord_ps(lowA, lowA);
        for (; k + 8 <= count; k += 8) {
            const __m128 a = _mm_loadu_ps(values + k);
            const __m128 b = _mm_loadu_ps(values + k + 4);
            lowA = _mm_min_ps(a, lowA);
            lowB = _mm_min_ps(b, lowB);
            highA = _mm_max_ps(a, highA);
            highB = _mm_max_ps(b, highB);
            unordered
                = _mm_or_ps(unordered, _mm_or_ps(_mm_cmpunord_ps(a, a), _mm_cmpunord_ps(b, b)));
        }
        alignas(16) float lows[4];
        alignas(16) float highs[4];
        _mm_store_ps(lows, _mm_min_ps(lowA, lowB));
        _mm_store_ps(highs, _mm_max_ps(highA, highB));
        for (int lane = 0; lane < 4; ++lane) {
            low = lows[lane] < low ? lows[lane] : low;
            high = highs[lane] > high ? highs[lane] : high;
        }
        notANumber = notANumber || _mm_movemask_ps(unordered) != 0;
    }
#endif
    for (; k < count; ++k) {
        const float value = values[k];
        low = value < low ? value : low;
        high = value > high ? value : high;
        notANumber = notANumber || std::isnan(value);
    }
    return { low, high, notANumber };
}

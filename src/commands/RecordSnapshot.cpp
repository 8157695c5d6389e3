#include "commands/RecordSnapshot.h"

#include <algorithm>

void RecordSnapshot::keepSeries(FloatBuffer& series)
{
    m_series = std::move(series);
    m_seriesKept = true;
}

bool RecordSnapshot::keepSeriesCopy(const AnalysisState& state)
{
    FloatBuffer copy;
    if (!copy.allocate(state.series.size()))
        return false;
    std::copy_n(state.series.data(), state.series.size(), copy.data());
    m_series = std::move(copy);
    m_seriesKept = true;
    return true;
}

void RecordSnapshot::restore(AnalysisState& state)
{
    static_cast<RecordValues&>(state) = m_values;
    // An estimate short of memory may have freed the spectrum before it was
    // stopped; the flag must not claim one that is gone.
    if (state.psd.empty())
        state.psdValid = 0;
    if (m_seriesKept) {
        state.series = std::move(m_series);
        m_seriesKept = false;
    }
}

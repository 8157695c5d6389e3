#include "commands/SpectrumReferences.h"

#include <gtest/gtest.h>

#include <string>

namespace {

AnalysisState withSpectrum(int M, float value)
{
    AnalysisState state;
    resetAnalysisState(state);
    state.dataFileName = "/runs/b/run2.dat";
    state.dataColumn = 3;
    state.segmentCount = 4;
    state.windowType = 2;
    state.psdSize = M;
    state.psdValid = 1;
    state.psd.allocate(static_cast<std::size_t>(M) + 1);
    for (int i = 0; i <= M; ++i)
        state.psd[i] = value;
    return state;
}

} // namespace

// The copy is the spectrum as it was: a later estimate changes the record
// only. The ninth is refused and the eight stay; clearing empties the set,
// and a record without a valid spectrum keeps nothing.
TEST(SpectrumReferences, KeepsACopyUpToEightAndClears)
{
    AnalysisState state = withSpectrum(64, -2.0f);
    ReferenceCurves references;
    ASSERT_EQ(keepAsReference(state, references), "");
    state.psd[10] = -7.0f;
    state.psdSize = 128;
    ASSERT_EQ(references.size(), 1u);
    EXPECT_EQ(references[0].psd.size(), 65u);
    EXPECT_EQ(references[0].psd[10], -2.0f);
    EXPECT_EQ(curveLabel(references[0].identity), "run2.dat:3, M=64, K=4, Parzen");

    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(keepAsReference(state, references), "");
    EXPECT_EQ(keepAsReference(state, references), REFERENCES_FULL);
    EXPECT_EQ(references.size(), MAX_REFERENCES);
    EXPECT_EQ(references[7].psd[10], -7.0f);

    references.clear();
    state.psdValid = 0;
    EXPECT_EQ(keepAsReference(state, references), NO_SPECTRUM_TO_KEEP);
    EXPECT_TRUE(references.empty());
}

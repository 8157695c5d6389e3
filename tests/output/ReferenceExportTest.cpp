#include "output/ReferenceExport.h"

#include "output/PsdExport.h"
#include "support/FileContents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

FloatBuffer spectrum(int M, float value)
{
    FloatBuffer psd;
    psd.allocate(static_cast<std::size_t>(M) + 1);
    for (int i = 0; i <= M; ++i)
        psd[i] = value;
    return psd;
}

CurveIdentity identity(const std::string& file, int M, int hasTimeStep, const std::string& unit)
{
    return { file, 1, M, 2, "Hanning", hasTimeStep, 0.5, unit };
}

} // namespace

// The live spectrum first, then the references as kept, each block led by
// its name and holding the log-log lines of Export PSD, the level limited.
TEST(ReferenceExport, WritesOneNamedBlockPerCurveInTheExportFormat)
{
    TempFolder folder;
    const std::string file = folder.file("curves.dat");
    const FloatBuffer live = spectrum(4, -3.0f);
    ReferenceCurves references;
    const FloatBuffer low = spectrum(8, -20.0f);
    const FloatBuffer day = spectrum(4, -1.5f);
    references.keep(identity("/a/low.dat", 8, 0, ""), low.data(), low.size());
    references.keep(identity("day.dat", 4, 1, "d"), day.data(), day.size());
    std::string error;
    ASSERT_EQ(
        writeReferenceFile(file, identity("x/live.dat", 4, 0, ""), live, references, -15.0, error),
        0)
        << error;

    // The live block's lines are those Export PSD writes for it.
    const std::string single = folder.file("single.dat");
    double minLog = -15.0;
    ASSERT_EQ(writePsdFile(single, live.data(), 4, false, 1.0, minLog, error), 0);
    const std::vector<std::string> exported = fileLines(single);
    const std::vector<std::string> expected = { "# live.dat:1, M=4, K=2, Hanning", exported[0],
        exported[1], "", "# low.dat:1, M=8, K=2, Hanning", "-0.903090 -15.000000",
        "-0.726999 -15.000000", "-0.602060 -15.000000", "-0.505150 -15.000000",
        "-0.425969 -15.000000", "-0.359022 -15.000000", "",
        "# day.dat:1, M=4, K=2, Hanning, DT=0.5 d", "-0.602060 -1.500000", "-0.425969 -1.500000" };
    EXPECT_EQ(fileLines(file), expected);
}

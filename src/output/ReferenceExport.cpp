#include "output/ReferenceExport.h"

#include "core/CFormat.h"
#include "output/FileReplacement.h"
#include "output/FixedFormat.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int LOG_LOG_PRECISION = 6;
constexpr std::size_t FLUSH_BYTES = 1 << 16;
constexpr std::size_t LINE_MAX_LENGTH = 2 * FIXED_MAX_LENGTH + 2;

std::string headerLine(const CurveIdentity& curve)
{
    std::string line = "# " + curveLabel(curve);
    if (curve.hasTimeStep)
        line += formatC(", DT=%.15g", curve.timeStep)
            + (curve.timeUnit.empty() ? "" : " " + curve.timeUnit);
    return line + "\n";
}

// Collects the text and hands it to the file in large writes; the first
// failure is kept and ends the writing.
class BlockText {
public:
    explicit BlockText(FileReplacement& file)
        : m_file(file)
    {
        m_text.reserve(FLUSH_BYTES + LINE_MAX_LENGTH);
    }

    void append(const std::string& text) { m_text.insert(m_text.end(), text.begin(), text.end()); }
    char* room()
    {
        const std::size_t size = m_text.size();
        m_text.resize(size + LINE_MAX_LENGTH);
        return m_text.data() + size;
    }
    void used(const char* end)
    {
        m_text.resize(static_cast<std::size_t>(end - m_text.data()));
        if (m_text.size() >= FLUSH_BYTES)
            flush();
    }
    int flush()
    {
        if (m_failure == 0 && !m_text.empty())
            m_failure = m_file.write(m_text.data(), m_text.size());
        m_text.clear();
        return m_failure;
    }

private:
    FileReplacement& m_file;
    std::vector<char> m_text;
    int m_failure = 0;
};

// The lines of PsdExport's log-log format.
void appendCurve(BlockText& text, const CurveIdentity& curve, const FloatBuffer& psd, double minLog)
{
    text.append(headerLine(curve));
    const std::size_t M = psd.empty() ? 0 : psd.size() - 1;
    const double twiceM = 2.0 * static_cast<double>(M);
    for (std::size_t i = 2; i < M; ++i) {
        // A value below the level, or one that does not compare, is the level.
        const double level = psd[i] >= minLog ? static_cast<double>(psd[i]) : minLog;
        char* out = text.room();
        out = formatFixed(out, std::log10(static_cast<double>(i) / twiceM), LOG_LOG_PRECISION);
        *out++ = ' ';
        out = formatFixed(out, level, LOG_LOG_PRECISION);
        *out++ = '\n';
        text.used(out);
    }
}

} // namespace

int writeReferenceFile(const std::string& fileName, const CurveIdentity& live,
    const FloatBuffer& livePsd, const ReferenceCurves& references, double minLog,
    std::string& error)
{
    if (references.empty()) {
        error = NO_REFERENCES_TO_EXPORT;
        return 1;
    }
    FileReplacement file;
    if (std::string refused = file.begin(fileName); !refused.empty()) {
        error = std::move(refused);
        return 1;
    }
    BlockText text(file);
    appendCurve(text, live, livePsd, minLog);
    for (std::size_t r = 0; r < references.size(); ++r) {
        text.append("\n");
        appendCurve(text, references[r].identity, references[r].psd, minLog);
    }
    int failure = text.flush();
    if (failure == 0)
        failure = file.commit();
    if (failure != 0) {
        file.abandon();
        error = std::strerror(failure);
        return 1;
    }
    return 0;
}

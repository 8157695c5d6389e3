#include "CommandWindowFixture.h"

#include "app/CWelmoDoc.h"
#include "core/ReferenceCurves.h"

#include <QAction>

#include <fstream>

using namespace CommandIds;

namespace {

int headerLines(const std::string& file)
{
    std::ifstream in(file);
    int count = 0;
    for (std::string line; std::getline(in, line);)
        count += line.rfind("# ", 0) == 0;
    return count;
}

// Keep needs a spectrum, Clear a reference; Export References writes the
// live curve and each reference, or says why it cannot.
TEST_F(CommandWindow, ReferencesAreKeptExportedAndCleared)
{
    startWindow();
    QAction* keep = m_frame->commandAction(ID_VIEW_KEEP_REFERENCE);
    QAction* clear = m_frame->commandAction(ID_VIEW_CLEAR_REFERENCES);
    const ReferenceCurves& references = m_frame->document().references();
    EXPECT_FALSE(keep->isEnabled());
    loadSawtooth();
    EXPECT_TRUE(keep->isEnabled());
    EXPECT_FALSE(clear->isEnabled());

    for (int i = 0; i < 2; ++i)
        keep->trigger();
    EXPECT_EQ(references.size(), 2u);
    EXPECT_TRUE(clear->isEnabled());
    ASSERT_TRUE(m_exportDir.isValid());
    const std::string target = m_exportDir.filePath(QStringLiteral("curves.dat")).toStdString();
    setFileOpenHook([&](const FileOpenRequest&) { return std::optional<std::string>(target); });
    command(ID_FILE_EXPORT_REFERENCES);
    EXPECT_TRUE(m_messages.empty()) << m_messages.front();
    EXPECT_EQ(headerLines(target), 3);

    clear->trigger();
    EXPECT_TRUE(references.empty());
    EXPECT_FALSE(clear->isEnabled());
    command(ID_FILE_EXPORT_REFERENCES);
    EXPECT_EQ(m_messages, std::vector<std::string> { NO_REFERENCES_TO_EXPORT });
    EXPECT_EQ(headerLines(target), 3);
}

} // namespace

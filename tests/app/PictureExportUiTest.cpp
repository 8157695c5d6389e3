// File > Export Picture: the view's picture in the three formats, and a
// target that cannot be written.

#include "MainWindowFixture.h"

#include "app/CommandIds.h"
#include "app/PictureExport.h"

#include <QFile>
#include <QImage>

namespace {

class PictureExport : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        setFileOpenHook([this](const FileOpenRequest& request) -> std::optional<std::string> {
            m_requests.push_back(request);
            return m_chosen;
        });
    }
    std::string path(const char* name) const
    {
        return (m_settingsDir.path() + QLatin1Char('/') + QLatin1String(name)).toStdString();
    }
    QByteArray contents(const std::string& name) const
    {
        QFile file(QString::fromStdString(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::optional<std::string> m_chosen;
    std::vector<FileOpenRequest> m_requests;
};

TEST_F(PictureExport, WritesTheViewsPictureInEachFormat)
{
    startWindow();
    loadTone(m_state);
    m_frame->view().update();
    waitForPaint(paints());

    m_chosen = path("picture.png");
    m_frame->onCommand(CommandIds::ID_FILE_EXPORT_PICTURE);
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_TRUE(m_requests[0].saving);
    EXPECT_EQ(m_messages, std::vector<std::string> {});
    const QImage written(QString::fromStdString(*m_chosen));
    const QImage shown = m_frame->view().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(written.size(), m_frame->view().size());
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), shown);

    m_chosen = path("picture.svg");
    m_frame->onCommand(CommandIds::ID_FILE_EXPORT_PICTURE);
    const QByteArray svg = contents(*m_chosen);
    EXPECT_TRUE(svg.contains("<svg")) << svg.left(200).toStdString();
    EXPECT_TRUE(svg.contains("</svg>"));

    m_chosen = path("picture.pdf");
    m_frame->onCommand(CommandIds::ID_FILE_EXPORT_PICTURE);
    const QByteArray pdf = contents(*m_chosen);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(m_messages, std::vector<std::string> {});
}

TEST_F(PictureExport, CancelWritesNothingAndAFailedWriteIsReported)
{
    startWindow();
    m_chosen.reset();
    m_frame->onCommand(CommandIds::ID_FILE_EXPORT_PICTURE);
    EXPECT_TRUE(m_messages.empty());

    m_chosen = path("no/such/folder/picture.png");
    m_frame->onCommand(CommandIds::ID_FILE_EXPORT_PICTURE);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].rfind("Cannot write file " + *m_chosen, 0), 0u) << m_messages[0];
    EXPECT_GT(m_messages[0].size(), ("Cannot write file " + *m_chosen).size()) << "with a reason";
}

} // namespace

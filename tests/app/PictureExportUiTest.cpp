// File > Export Picture: the view's picture in the three formats, and a
// target that cannot be written.

#include "MainWindowFixture.h"

#include "app/CommandIds.h"
#include "app/PictureExport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

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
    m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_TRUE(m_requests[0].saving);
    EXPECT_EQ(m_messages, std::vector<std::string> {});
    const QImage written(QString::fromStdString(*m_chosen));
    const QImage shown = m_frame->view().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(written.size(), m_frame->view().size());
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), shown);

    m_chosen = path("picture.svg");
    m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
    const QByteArray svg = contents(*m_chosen);
    EXPECT_TRUE(svg.contains("<svg")) << svg.left(200).toStdString();
    EXPECT_TRUE(svg.contains("</svg>"));

    m_chosen = path("picture.pdf");
    m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
    const QByteArray pdf = contents(*m_chosen);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(m_messages, std::vector<std::string> {});
}

TEST_F(PictureExport, CancelWritesNothingAndAFailedWriteIsReported)
{
    startWindow();
    m_chosen.reset();
    m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
    EXPECT_TRUE(m_messages.empty());

    m_chosen = path("no/such/folder/picture.png");
    m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].rfind("Cannot write file " + *m_chosen, 0), 0u) << m_messages[0];
    EXPECT_GT(m_messages[0].size(), ("Cannot write file " + *m_chosen).size()) << "with a reason";
}

// A disk that fills during the write, as a file-size limit of this
// process makes it: every format's failure is told with the system's
// reason, and the picture that was there stays whole.
TEST_F(PictureExport, AFailedWriteOfEveryFormatKeepsThePreviousPicture)
{
    startWindow();
    loadTone(m_state);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const char* name : { "full.svg", "full.pdf", "full.png", "full.jpg" }) {
        SCOPED_TRACE(name);
        m_messages.clear();
        m_chosen = path(name);
        {
            QFile old(QString::fromStdString(*m_chosen));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("previous picture");
        }
        rlimit limit {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit full = { 1024, limit.rlim_max };
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
        m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
        setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_EQ(m_messages,
            std::vector<std::string> {
                "Cannot write file " + *m_chosen + "\n" + std::strerror(EFBIG) });
        EXPECT_EQ(contents(*m_chosen), QByteArray("previous picture"));
    }
    std::signal(SIGXFSZ, previousHandler);
    const QDir folder(m_settingsDir.path());
    EXPECT_EQ(
        folder.entryList(QStringList { QStringLiteral(".welmo-*") }, QDir::Hidden | QDir::Files),
        QStringList {})
        << "no temporary file left";
}

// The name decides the bytes: JPEG for .jpg and .jpeg, PNG added to a
// name without a suffix, and a suffix of no picture format refused
// rather than written with bytes of another.
TEST_F(PictureExport, BytesMatchTheNameChosen)
{
    startWindow();
    loadTone(m_state);
    struct Case {
        const char* chosen;
        const char* written;
        QByteArray magic;
    };
    const Case cases[] = {
        { "shot.jpg", "shot.jpg", QByteArray("\xFF\xD8\xFF", 3) },
        { "shot.JPEG", "shot.JPEG", QByteArray("\xFF\xD8\xFF", 3) },
        { "shot", "shot.png", QByteArray("\x89PNG", 4) },
        { "shot.Png", "shot.Png", QByteArray("\x89PNG", 4) },
    };
    for (const Case& c : cases) {
        m_chosen = path(c.chosen);
        m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
        EXPECT_TRUE(contents(path(c.written)).startsWith(c.magic)) << c.chosen;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("shot"))));
    EXPECT_EQ(m_messages, std::vector<std::string> {});

    m_chosen = path("shot.gif");
    m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].rfind("Cannot write file " + *m_chosen, 0), 0u) << m_messages[0];
    EXPECT_FALSE(QFile::exists(QString::fromStdString(*m_chosen)));
}

// Rendered, the SVG shows the spectrum's red and blue only inside its
// frame, even with a power window far below the values, where the curve
// runs over the top of the panel.
TEST_F(PictureExport, SvgCurvesStayInsideTheirPanel)
{
    startWindow();
    loadTone(m_state);
    m_state.maxLogPower = m_state.minLogPower + 1.0;
    m_frame->view().update();
    waitForPaint(paints());
    m_chosen = path("clipped.svg");
    m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
    QSvgRenderer svg(QString::fromStdString(*m_chosen));
    ASSERT_TRUE(svg.isValid());
    const QSize size = m_frame->view().size();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    const DeviceRect panel = m_frame->view().currentLayout().spectrum.panel;
    int coloured = 0, outside = 0;
    // The right half, clear of the statistics text's reds.
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() / 2; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::max(c.red(), c.blue()) < 180 || c.green() > 100
                || std::abs(c.red() - c.blue()) < 80)
                continue;
            ++coloured;
            if (x < panel.left - 1 || x > panel.right + 1 || y < panel.top - 1
                || y > panel.bottom + 1)
                ++outside;
        }
    EXPECT_GT(coloured, 50);
    EXPECT_EQ(outside, 0);
}

// A zoomed view with axes is exported as it is shown.
TEST_F(PictureExport, FollowsTheZoomedPictureWithAxes)
{
    startWindow();
    loadTone(m_state);
    m_frame->commandAction(CommandIds::ID_VIEW_AXES)->trigger();
    m_frame->commandAction(CommandIds::ID_VIEW_FIT_SPECTRUM)->trigger();
    m_frame->view().update();
    waitForPaint(paints());
    m_chosen = path("zoomed.png");
    m_frame->commandAction(CommandIds::ID_FILE_EXPORT_PICTURE)->trigger();
    const QImage written(QString::fromStdString(*m_chosen));
    const QImage shown = m_frame->view().grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), shown);
}

} // namespace

#include "MainWindowFixture.h"

#include "app/CommandIds.h"
#include "app/Printing.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>

namespace {

int pdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

// Share of the pixels of two equally sized images that are equal.
double agreement(const QImage& a, const QImage& b)
{
    long same = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            same += a.pixel(x, y) == b.pixel(x, y);
    return static_cast<double>(same) / (static_cast<double>(a.width()) * a.height());
}

bool isDark(QRgb pixel)
{
    return qGray(pixel) < 128;
}

} // namespace

class PrintingTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        startWindow();
        loadTone(m_state);
        m_frame->resize(700, 500);
        QApplication::processEvents();
    }
};

TEST_F(PrintingTest, PreviewShowsOnePage)
{
    QPrinter printer(QPrinter::HighResolution);
    auto preview = createPrintPreview(printer, m_frame->view(), m_state);
    auto* pages = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    preview->show();
    pages->updatePreview();
    EXPECT_EQ(pages->pageCount(), 1);
    preview->close();
}

TEST_F(PrintingTest, PrintsOnePageToPdf)
{
    const QString path = m_settingsDir.filePath(QStringLiteral("page.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    ASSERT_TRUE(renderPage(printer, m_frame->view(), m_state));
    EXPECT_EQ(pdfPageCount(path), 1);
}

TEST_F(PrintingTest, APrintThatCannotBeWrittenIsReported)
{
    m_frame->printer().setOutputFormat(QPrinter::PdfFormat);
    m_frame->printer().setOutputFileName(
        m_settingsDir.filePath(QStringLiteral("no such folder/page.pdf")));
    m_frame->OnFilePrintDirect();
    EXPECT_EQ(m_messages, std::vector<std::string> { "The document could not be printed." });
}

TEST_F(PrintingTest, PageHoldsTheWindowsPictureScaledToFill)
{
    CWelmoView& view = m_frame->view();
    const QImage window = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int W = window.width();
    const int H = window.height();

    // At the window's own size the page picture is the window's picture.
    QImage same(W, H, QImage::Format_RGB32);
    {
        QPainter painter(&same);
        renderPicture(painter, QRect(0, 0, W, H), view, m_state);
    }
    EXPECT_GE(agreement(same, window), 0.999);

    // On a page three times as large the signal axis, the line at a third
    // of the height, runs from edge to edge.
    QImage page(3 * W, 3 * H, QImage::Format_RGB32);
    page.fill(Qt::gray);
    {
        QPainter painter(&page);
        renderPicture(painter, page.rect(), view, m_state);
    }
    EXPECT_EQ(page.pixel(5, 3 * H - 5), qRgb(255, 255, 255)) << "background covers the page";
    int axisRow = -1;
    for (int y = 3 * (H / 3) - 3; y <= 3 * (H / 3) + 3 && axisRow < 0; ++y)
        if (isDark(page.pixel(3 * W / 2, y)) && isDark(page.pixel(4, y))
            && isDark(page.pixel(3 * W - 5, y)))
            axisRow = y;
    EXPECT_GE(axisRow, 0);
}

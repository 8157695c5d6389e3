#include "platform/FileOpenDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `answer` on the Open File dialog once it is up.
void whenDialogOpens(std::function<void(QFileDialog*)> answer)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        answer(dialog);
    });
    poll->start();
}

TEST(OpenDataFile, AsksForAnExistingFileWithTheThreeFilters)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("series.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QString title;
    QStringList filters;
    QString selectedFilter;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    whenDialogOpens([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        // The names as the user sees them.
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; combo && i < combo->count(); ++i)
            filters << combo->itemText(i);
        selectedFilter = combo ? combo->currentText() : QString();
        mode = dialog->fileMode();
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const auto chosen = getOpenFileName(nullptr, dataFileRequest());

    EXPECT_EQ(title.toStdString(), "Open Data File");
    EXPECT_EQ(filters,
        QStringList({ QStringLiteral(" Data files (*.dat)"), QStringLiteral(" Text files (*.txt)"),
            QStringLiteral(" All Files (*)") }));
    EXPECT_EQ(selectedFilter.toStdString(), " Data files (*.dat)");
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, path.toStdString());
}

TEST(OpenDataFile, CancelChoosesNothing)
{
    whenDialogOpens([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(getOpenFileName(nullptr, dataFileRequest()).has_value());
}

} // namespace

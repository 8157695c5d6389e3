#include "app/CEditorCommandDlg.h"
#include "support/DialogControls.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

QLineEdit* commandField(CEditorCommandDlg& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("field1032"));
}

TEST(EditorCommandDialog, OpensWithTheCommandAndOnlyAnOkButton)
{
    AnalysisState state;
    state.editorCommand = "notepad /a";
    CEditorCommandDlg dialog(state);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Editor's Command Line");
    EXPECT_EQ(commandField(dialog)->text().toStdString(), "notepad /a");
    EXPECT_EQ(dialog.findChildren<QAbstractButton*>().size(), 1);
    EXPECT_NE(dialog.findChild<QAbstractButton*>(QStringLiteral("button1")), nullptr);
}

TEST(EditorCommandDialog, OkStoresTheCommandWhole)
{
    // Longer than 63 and 255 characters: nothing cuts the command.
    const std::string longCommand = "/opt/editors/" + std::string(300, 'e') + " --line 1 --wait";
    const std::string cases[] = { "gedit", "", "  emacs -nw  ", longCommand };
    for (const std::string& command : cases) {
        AnalysisState state;
        CEditorCommandDlg dialog(state);
        commandField(dialog)->setText(QString::fromStdString(command));
        dialog.findChild<QAbstractButton*>(QStringLiteral("button1"))->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(state.editorCommand, command);
    }
}

TEST(EditorCommandDialog, ALongCommandIsShownWhole)
{
    AnalysisState state;
    state.editorCommand = std::string(40000, 'x');
    CEditorCommandDlg dialog(state);
    EXPECT_EQ(commandField(dialog)->text().size(), 40000);
}

TEST(EditorCommandDialog, EscapeChangesNothing)
{
    AnalysisState state;
    state.editorCommand = "kate";
    CEditorCommandDlg dialog(state);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    commandField(dialog)->setFocus();
    QTest::keyClicks(commandField(dialog), " --new");
    QTest::keyClick(commandField(dialog), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(state.editorCommand, "kate");
}

} // namespace

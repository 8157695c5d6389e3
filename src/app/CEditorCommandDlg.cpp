#include "app/CEditorCommandDlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CEditorCommandDlg::CEditorCommandDlg(AnalysisState& state, QWidget* parent)
    : WelmoDialog(parent)
    , m_state(state)
    , m_editorCommand(state.editorCommand)
{
    setWindowTitle(QStringLiteral("Editor's Command Line"));
    m_editorCommandEdit = createField(IDC_EDITOR_COMMAND);
    m_editorCommandEdit->setMinimumWidth(
        m_editorCommandEdit->fontMetrics().averageCharWidth() * 40);
    m_okButton = createButton(1, QStringLiteral("OK"));
    m_okButton->setDefault(true);
    setTabOrder(m_editorCommandEdit, m_okButton);

    auto* buttons = createButtonRow(m_okButton, nullptr);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_editorCommandEdit);
    main->addLayout(buttons);

    connect(m_okButton, &QPushButton::clicked, this, &CEditorCommandDlg::OnOK);
    updateData(false);
}

void CEditorCommandDlg::doDataExchange(DataExchange& exchange)
{
    exchange.text(m_editorCommandEdit, m_editorCommand);
}

void CEditorCommandDlg::OnOK()
{
    if (!updateData(true))
        return;
    m_state.editorCommand = m_editorCommand;
    accept();
}

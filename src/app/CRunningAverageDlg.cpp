#include "app/CRunningAverageDlg.h"

#include "core/Limits.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CRunningAverageDlg::CRunningAverageDlg(QWidget* parent)
    : WelmoDialog(parent)
{
    setWindowTitle(QStringLiteral("Running Average"));
    m_windowEdit = createField(IDC_WINDOW);
    m_okButton = createButton(1, QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton = createButton(2, QStringLiteral("Cancel"));
    setTabOrder(m_windowEdit, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
    createLayout();
    connect(m_okButton, &QPushButton::clicked, this, &CRunningAverageDlg::OnOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    updateData(false);
}

void CRunningAverageDlg::createLayout()
{
    auto* windowRow = new QHBoxLayout;
    windowRow->addWidget(new QLabel(QStringLiteral("Average per "), this));
    windowRow->addWidget(m_windowEdit);
    windowRow->addWidget(new QLabel(QStringLiteral("points"), this));

    auto* buttons = createButtonRow(m_okButton, m_cancelButton);

    auto* main = new QVBoxLayout(this);
    main->addLayout(windowRow);
    main->addLayout(buttons);
}

void CRunningAverageDlg::doDataExchange(DataExchange& exchange)
{
    exchange.integer(m_windowEdit, m_window, MIN_AVERAGE_WINDOW, MAX_AVERAGE_WINDOW);
}

void CRunningAverageDlg::OnOK()
{
    if (!updateData(true))
        return;
    accept();
}

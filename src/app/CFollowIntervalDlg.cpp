#include "app/CFollowIntervalDlg.h"

#include "commands/Commands.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CFollowIntervalDlg::CFollowIntervalDlg(double seconds, QWidget* parent)
    : WelmoDialog(parent)
    , m_seconds(seconds)
{
    setWindowTitle(QStringLiteral("Follow File"));
    m_secondsEdit = createField(IDC_SECONDS);
    m_okButton = createButton(IDOK, QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton = createButton(IDCANCEL, QStringLiteral("Cancel"));
    setTabOrder(m_secondsEdit, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Look at the data file every "), this));
    row->addWidget(m_secondsEdit);
    row->addWidget(new QLabel(QStringLiteral("seconds"), this));
    auto* main = new QVBoxLayout(this);
    main->addLayout(row);
    main->addLayout(createButtonRow(m_okButton, m_cancelButton));

    connect(m_okButton, &QPushButton::clicked, this, &CFollowIntervalDlg::OnOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    updateData(false);
}

void CFollowIntervalDlg::doDataExchange(DataExchange& exchange)
{
    exchange.number(m_secondsEdit, m_seconds, MIN_FOLLOW_SECONDS, MAX_FOLLOW_SECONDS);
}

void CFollowIntervalDlg::OnOK()
{
    if (!updateData(true))
        return;
    accept();
}

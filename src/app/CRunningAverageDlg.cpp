#include "app/CRunningAverageDlg.h"

#include "core/Limits.h"
#include "input/SeriesEditing.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CRunningAverageDlg::CRunningAverageDlg(AnalysisState& state, QWidget* parent)
    : WelmoDialog(parent)
    , m_state(state)
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
    m_state.isOriginal = 0;
    // A record left without a buffer by a failed allocation still counts
    // its samples; only the entries that exist are smoothed.
    const std::size_t entries = m_state.series.size();
    const unsigned held = entries == 0
        ? 0u
        : (entries - 1 < m_state.sampleCount ? static_cast<unsigned>(entries - 1)
                                             : m_state.sampleCount);
    runningAverage(m_state.series.data(), held, m_window, progress());
}

#include "app/CGraphicsDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CGraphicsDlg::CGraphicsDlg(AnalysisState& state, QWidget* parent)
    : WelmoDialog(parent)
    , m_state(state)
    , m_autoScaleSignal(state.autoScaleSignal)
    , m_dottedSignal(state.dottedSignal)
    , m_logFrequency(state.logFrequency)
    , m_colorLb(state.colorLb)
    , m_logPower(state.logPower)
    , m_minLogFrequency(state.minLogFrequency)
    , m_maxLogPower(state.maxLogPower)
    , m_maxNormalPower(state.maxNormalPower)
    , m_minLogPower(state.minLogPower)
    , m_signalMax(state.signalMax)
    , m_signalMin(state.signalMin)
{
    setWindowTitle(QStringLiteral("Graphics"));
    createControls();
    createLayout();
    connect(m_okButton, &QPushButton::clicked, this, &CGraphicsDlg::OnOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    updateData(false);
}

void CGraphicsDlg::createControls()
{
    // Created in the dialog's tab order (the tab-order test pins it).
    m_okButton = createButton(1, QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton = createButton(2, QStringLiteral("Cancel"));
    m_dottedSignalBox = createButton<QCheckBox>(IDC_DOTTED_SIGNAL, QStringLiteral("Dotted signal"));
    m_autoScaleSignalBox
        = createButton<QCheckBox>(IDC_AUTO_SCALE_SIGNAL, QStringLiteral("auto draw"));
    m_signalMinEdit = createField(IDC_SIGNAL_MIN);
    m_signalMaxEdit = createField(IDC_SIGNAL_MAX);
    m_logFrequencyBox = createButton<QCheckBox>(IDC_LOG_FREQUENCY, QStringLiteral("Log scale"));
    m_minLogFrequencyEdit = createField(IDC_MIN_LOG_FREQUENCY);
    m_colorLbBox = createButton<QCheckBox>(IDC_COLOR_LB, QStringLiteral("Color LB"));
    m_logPowerBox = createButton<QCheckBox>(IDC_LOG_POWER, QStringLiteral("Log Scale"));
    m_minLogPowerEdit = createField(IDC_MIN_LOG_POWER);
    m_maxLogPowerEdit = createField(IDC_MAX_LOG_POWER);
    m_maxNormalPowerEdit = createField(IDC_MAX_NORMAL_POWER);

    QWidget* tabChain[] = { m_okButton, m_cancelButton, m_dottedSignalBox, m_autoScaleSignalBox,
        m_signalMinEdit, m_signalMaxEdit, m_logFrequencyBox, m_minLogFrequencyEdit, m_colorLbBox,
        m_logPowerBox, m_minLogPowerEdit, m_maxLogPowerEdit, m_maxNormalPowerEdit };
    for (std::size_t i = 1; i < std::size(tabChain); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);
}

void CGraphicsDlg::createLayout()
{
    auto* signal = new QGroupBox(QStringLiteral("Signal"), this);
    auto* signalGrid = new QGridLayout(signal);
    signalGrid->addWidget(m_dottedSignalBox, 0, 0);
    signalGrid->addWidget(m_autoScaleSignalBox, 1, 0);
    signalGrid->setColumnStretch(1, 1);
    signalGrid->addWidget(new QLabel(QStringLiteral("Min :"), signal), 0, 2);
    signalGrid->addWidget(m_signalMinEdit, 0, 3);
    signalGrid->addWidget(new QLabel(QStringLiteral("Max :"), signal), 1, 2);
    signalGrid->addWidget(m_signalMaxEdit, 1, 3);

    auto* frequency = new QGroupBox(QStringLiteral("Frequency"), this);
    auto* frequencyGrid = new QGridLayout(frequency);
    frequencyGrid->addWidget(m_logFrequencyBox, 0, 0);
    frequencyGrid->setColumnStretch(1, 1);
    frequencyGrid->addWidget(new QLabel(QStringLiteral("Min (for log scale)"), frequency), 0, 2);
    frequencyGrid->addWidget(m_minLogFrequencyEdit, 0, 3);
    frequencyGrid->addWidget(m_colorLbBox, 1, 0);

    auto* power = new QGroupBox(QStringLiteral("Power Amplitude"), this);
    auto* powerGrid = new QGridLayout(power);
    powerGrid->addWidget(m_logPowerBox, 0, 0);
    powerGrid->setColumnStretch(1, 1);
    powerGrid->addWidget(new QLabel(QStringLiteral("Min for Log Scale"), power), 0, 2);
    powerGrid->addWidget(m_minLogPowerEdit, 0, 3);
    powerGrid->addWidget(new QLabel(QStringLiteral("Max for Log Scale"), power), 1, 2);
    powerGrid->addWidget(m_maxLogPowerEdit, 1, 3);
    powerGrid->addWidget(new QLabel(QStringLiteral("Max for Norm Scale"), power), 2, 2);
    powerGrid->addWidget(m_maxNormalPowerEdit, 2, 3);

    auto* buttons = createButtonRow(m_okButton, m_cancelButton);

    auto* main = new QVBoxLayout(this);
    main->addWidget(signal);
    main->addWidget(frequency);
    main->addWidget(power);
    main->addLayout(buttons);
}

void CGraphicsDlg::doDataExchange(DataExchange& exchange)
{
    exchange.check(m_autoScaleSignalBox, m_autoScaleSignal);
    exchange.check(m_dottedSignalBox, m_dottedSignal);
    exchange.check(m_logFrequencyBox, m_logFrequency);
    exchange.check(m_colorLbBox, m_colorLb);
    exchange.check(m_logPowerBox, m_logPower);
    exchange.number(m_minLogFrequencyEdit, m_minLogFrequency);
    exchange.number(m_maxLogPowerEdit, m_maxLogPower);
    exchange.number(m_maxNormalPowerEdit, m_maxNormalPower);
    exchange.number(m_minLogPowerEdit, m_minLogPower);
    exchange.number(m_signalMaxEdit, m_signalMax);
    exchange.number(m_signalMinEdit, m_signalMin);
}

void CGraphicsDlg::OnOK()
{
    if (!updateData(true))
        return;
    m_state.autoScaleSignal = m_autoScaleSignal;
    m_state.dottedSignal = m_dottedSignal;
    m_state.logFrequency = m_logFrequency;
    m_state.colorLb = m_colorLb;
    m_state.logPower = m_logPower;
    m_state.minLogFrequency = m_minLogFrequency;
    m_state.maxLogPower = m_maxLogPower;
    m_state.maxNormalPower = m_maxNormalPower;
    m_state.minLogPower = m_minLogPower;
    m_state.signalMax = m_signalMax;
    m_state.signalMin = m_signalMin;
    accept();
}

#include "app/CExportPsdDlg.h"

#include "core/Limits.h"

#include "output/PsdExport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>
#include <cmath>

namespace {

// The series' own time step when it has one, so that the exported
// frequencies are those the picture shows; else the last export's.
double startingDt(const AnalysisState& state)
{
    if (state.hasTimeStep && exportTimeStepValid(state.timeStep))
        return state.timeStep;
    return state.exportDt;
}

} // namespace

CExportPsdDlg::CExportPsdDlg(const AnalysisState& state, QWidget* parent)
    : WelmoDialog(parent)
    , m_state(state)
    , m_psdFileName(state.psdFileName)
    , m_minLog(state.exportMinLog)
    , m_dt(startingDt(state))
{
    const int M = spectrumSize();
    // Entries 2 and M-1 exist only for M >= 3; a shorter buffer shows zeros
    // rather than reading past its end.
    if (M >= 3) {
        m_firstPsd = state.psd[2];
        m_lastPsd = state.psd[static_cast<std::size_t>(M - 1)];
    }
    if (M >= 1)
        m_firstLogFrequency = std::log10(1.0 / M);
    m_lastLogFrequency = std::log10(0.5);

    setWindowTitle(QStringLiteral("Export Psd file"));
    createControls();
    createLayout();
    connect(m_okButton, &QPushButton::clicked, this, &CExportPsdDlg::OnOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    updateData(false);
}

int CExportPsdDlg::spectrumSize() const
{
    const std::size_t entries = m_state.psd.size();
    if (entries == 0)
        return 0;
    return entries - 1 > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                           : static_cast<int>(entries - 1);
}

void CExportPsdDlg::createControls()
{
    m_psdFileNameEdit = createField(IDC_PSD_FILE_NAME);
    m_firstLogFrequencyEdit = createField(IDC_FIRST_LOG_FREQUENCY, true);
    m_firstPsdEdit = createField(IDC_FIRST_PSD, true);
    m_lastLogFrequencyEdit = createField(IDC_LAST_LOG_FREQUENCY, true);
    m_lastPsdEdit = createField(IDC_LAST_PSD, true);
    m_minLogEdit = createField(IDC_MIN_LOG);
    m_normalScalesBox = createButton<QCheckBox>(IDC_NORMAL_SCALES, QStringLiteral("Normal Scales"));
    m_dtEdit = createField(IDC_DT);
    m_okButton = createButton(1, QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton = createButton(2, QStringLiteral("Cancel"));
}

void CExportPsdDlg::createLayout()
{
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("PSD file :"), this));
    fileRow->addWidget(m_psdFileNameEdit, 1);

    auto* format = new QGroupBox(QStringLiteral("Text Format"), this);
    auto* formatGrid = new QGridLayout(format);
    formatGrid->addWidget(new QLabel(QStringLiteral("Log( f )"), format), 0, 0, Qt::AlignCenter);
    formatGrid->addWidget(
        new QLabel(QStringLiteral("Log( psd value )"), format), 0, 1, Qt::AlignCenter);
    formatGrid->addWidget(m_firstLogFrequencyEdit, 1, 0);
    formatGrid->addWidget(m_firstPsdEdit, 1, 1);
    formatGrid->addWidget(new QLabel(QStringLiteral(".......... ....... .........."), format), 2, 0,
        1, 2, Qt::AlignCenter);
    formatGrid->addWidget(m_lastLogFrequencyEdit, 3, 0);
    formatGrid->addWidget(m_lastPsdEdit, 3, 1);

    auto* levelRow = new QHBoxLayout;
    levelRow->addWidget(new QLabel(QStringLiteral("Minimum level (log) :"), this));
    levelRow->addWidget(m_minLogEdit);
    levelRow->addStretch();

    auto* dtRow = new QHBoxLayout;
    dtRow->addWidget(new QLabel(QStringLiteral("DT="), this));
    dtRow->addWidget(m_dtEdit);
    dtRow->addWidget(new QLabel(
        QStringLiteral("(*factor to get physical units\nconsidering basic period=2pi)"), this));
    dtRow->addStretch();

    auto* buttons = createButtonRow(m_okButton, m_cancelButton);

    auto* main = new QVBoxLayout(this);
    main->addLayout(fileRow);
    main->addWidget(format);
    main->addLayout(levelRow);
    main->addWidget(m_normalScalesBox);
    main->addLayout(dtRow);
    main->addLayout(buttons);
}

void CExportPsdDlg::setDt(double dt)
{
    m_dt = dt;
    DataExchange load(false);
    load.number(m_dtEdit, m_dt);
}

void CExportPsdDlg::doDataExchange(DataExchange& exchange)
{
    exchange.text(m_psdFileNameEdit, m_psdFileName);
    // The four ends of the spectrum are shown, never taken back: a spectrum
    // value that is not a finite number shows as text that no number field
    // accepts, and it must not block the export (the writer replaces it).
    if (!exchange.isSaving()) {
        exchange.number(m_lastPsdEdit, m_lastPsd);
        exchange.number(m_firstPsdEdit, m_firstPsd);
        exchange.number(m_firstLogFrequencyEdit, m_firstLogFrequency);
        exchange.number(m_lastLogFrequencyEdit, m_lastLogFrequency);
    }
    exchange.number(m_minLogEdit, m_minLog, MIN_EXPORT_LEVEL, MAX_EXPORT_LEVEL);
    exchange.check(m_normalScalesBox, m_normalScales);
    // A time step of 0 or one that is not finite would write infinite or
    // undefined frequencies: refused as a number the field cannot take.
    const double dtBefore = m_dt;
    exchange.number(m_dtEdit, m_dt);
    if (exchange.isSaving() && !exchange.failed() && !exportTimeStepValid(m_dt)) {
        m_dt = dtBefore;
        exchange.fail(m_dtEdit, "Please enter a number.");
    }
}

void CExportPsdDlg::OnOK()
{
    if (!updateData(true))
        return;
    accept();
}

ExportChoice CExportPsdDlg::choice() const
{
    return { m_psdFileName, m_minLog, m_normalScales != 0, m_dt };
}

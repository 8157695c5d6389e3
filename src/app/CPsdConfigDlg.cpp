#include "app/CPsdConfigDlg.h"

#include "core/CFormat.h"
#include "core/Limits.h"
#include "core/SeriesStatistics.h"
#include "platform/FieldText.h"
#include "spectrum/DataWindow.h"
#include "spectrum/PsdSize.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

CPsdConfigDlg::CPsdConfigDlg(const AnalysisState& state, QWidget* parent)
    : WelmoDialog(parent)
    , m_state(state)
    , m_logOutput(state.logOutput)
    , m_normalize(state.normalize)
    , m_extractAverage(state.extractAverage)
    , m_segmentCount(state.segmentCount)
    , m_maxPsdSize(state.maxPsdSize)
    , m_availableData(static_cast<int>(std::min<unsigned>(state.sampleCount, INT_MAX)))
    , m_dataShift(state.dataShift)
    , m_psdSize(state.psdSize)
    , m_windowType(state.windowType)
    , m_lbFrequencies(state.lbFrequencies)
    , m_lbRatio(0.0)
{
    mendUnusableSize();
    m_lbRatio = openingLbRatio(m_lbFrequencies, m_psdSize);
    setWindowTitle(QStringLiteral("PSD configuration"));
    createControls();
    createLayout();
    connectHandlers();
    updateData(false);
}

void CPsdConfigDlg::mendUnusableSize()
{
    if (isPsdSizeChoice(m_psdSize) && m_maxPsdSize >= MIN_PSD_SIZE)
        return;
    m_maxPsdSize = openingSizeLimit(m_state.sampleCount, m_segmentCount, m_dataShift);
    m_psdSize = m_maxPsdSize;
}

QString CPsdConfigDlg::note() const
{
    return m_noteLabel->text();
}

void CPsdConfigDlg::setNote(const std::string& text)
{
    m_noteLabel->setText(QString::fromStdString(text));
}

void CPsdConfigDlg::createControls()
{
    // Created in the dialog's tab order (the tab-order test pins it).
    m_okButton = createButton(1, QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton = createButton(2, QStringLiteral("Cancel"));
    m_availableDataEdit = createField(IDC_AVAILABLE_DATA, true);
    m_maxPsdSizeEdit = createField(IDC_MAX_PSD_SIZE, true);
    m_psdSizeEdit = createField(IDC_PSD_SIZE);
    m_psdSizeUpButton = createButton(IDC_PSD_SIZE_UP, QStringLiteral("+"));
    m_psdSizeDownButton = createButton(IDC_PSD_SIZE_DOWN, QStringLiteral("-"));
    m_segmentCountEdit = createField(IDC_SEGMENT_COUNT);
    m_dataShiftEdit = createField(IDC_DATA_SHIFT);
    m_autoShiftButton = createButton(IDC_AUTO_SHIFT, QStringLiteral("auto"));
    m_extractAverageBox
        = createButton<QCheckBox>(IDC_EXTRACT_AVERAGE, QStringLiteral("Extract Average"));
    m_extractAverageBox->setEnabled(false);
    m_normalizeBox = createButton<QCheckBox>(IDC_NORMALIZE, QStringLiteral("Normalization"));
    m_logOutputBox = createButton<QCheckBox>(IDC_LOG_OUTPUT, QStringLiteral("Log-Log output"));
    m_logOutputBox->setEnabled(false);
    for (int i = 0; i < WINDOW_TYPE_COUNT; ++i)
        m_windowButtons.push_back(
            createButton<QRadioButton>(IDC_FIRST_WINDOW + i, QString::fromLatin1(WINDOW_NAMES[i])));
    m_lbRatioEdit = createField(IDC_LB_RATIO);
    m_lbFrequenciesEdit = createField(IDC_LB_FREQUENCIES);
    m_noteLabel = new QLabel(this);
    m_noteLabel->setObjectName(QStringLiteral("note"));
    m_noteLabel->setWordWrap(true);

    QWidget* tabChain[] = { m_okButton, m_cancelButton, m_availableDataEdit, m_maxPsdSizeEdit,
        m_psdSizeEdit, m_psdSizeUpButton, m_psdSizeDownButton, m_segmentCountEdit, m_dataShiftEdit,
        m_autoShiftButton, m_extractAverageBox, m_normalizeBox, m_logOutputBox, m_windowButtons[0],
        m_windowButtons[1], m_windowButtons[2], m_windowButtons[3], m_lbRatioEdit,
        m_lbFrequenciesEdit };
    for (std::size_t i = 1; i < std::size(tabChain); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);
}

void CPsdConfigDlg::createLayout()
{
    auto* sizes = new QGridLayout;
    sizes->addWidget(new QLabel(QStringLiteral("Available data :"), this), 0, 0);
    sizes->addWidget(m_availableDataEdit, 0, 1);
    sizes->addWidget(new QLabel(QStringLiteral("max PSD size :"), this), 1, 0);
    sizes->addWidget(m_maxPsdSizeEdit, 1, 1);
    auto* stepButtons = new QVBoxLayout;
    stepButtons->setSpacing(0);
    stepButtons->addWidget(m_psdSizeUpButton);
    stepButtons->addWidget(m_psdSizeDownButton);
    auto* psdSizeRow = new QHBoxLayout;
    psdSizeRow->addWidget(new QLabel(QStringLiteral("PSD size : "), this));
    psdSizeRow->addWidget(m_psdSizeEdit);
    psdSizeRow->addLayout(stepButtons);
    sizes->addLayout(psdSizeRow, 2, 0, 1, 2);

    auto* averaging = new QGroupBox(QStringLiteral("Averaging"), this);
    auto* averagingGrid = new QGridLayout(averaging);
    averagingGrid->addWidget(new QLabel(QStringLiteral("Number of segments :"), this), 0, 0);
    averagingGrid->addWidget(m_segmentCountEdit, 0, 1);
    averagingGrid->addWidget(new QLabel(QStringLiteral("Data shift : "), this), 1, 0);
    averagingGrid->addWidget(m_dataShiftEdit, 1, 1);
    averagingGrid->addWidget(m_autoShiftButton, 2, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(sizes);
    left->addWidget(averaging);
    left->addStretch();

    auto* filter = new QGroupBox(QStringLiteral("Filter"), this);
    auto* filterColumn = new QVBoxLayout(filter);
    for (QRadioButton* button : m_windowButtons)
        filterColumn->addWidget(button);

    auto* lowBand = new QGridLayout;
    lowBand->addWidget(new QLabel(QStringLiteral("LB ratio (%) :"), this), 0, 0);
    lowBand->addWidget(m_lbRatioEdit, 0, 1);
    lowBand->addWidget(new QLabel(QStringLiteral("LB frequencies :"), this), 1, 0);
    lowBand->addWidget(m_lbFrequenciesEdit, 1, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(m_extractAverageBox);
    right->addWidget(m_normalizeBox);
    right->addWidget(m_logOutputBox);
    right->addWidget(filter);
    right->addLayout(lowBand);
    right->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(12);
    columns->addLayout(right);

    auto* buttons = createButtonRow(m_okButton, m_cancelButton);

    auto* main = new QVBoxLayout(this);
    main->addLayout(columns);
    main->addWidget(m_noteLabel);
    main->addLayout(buttons);
}

void CPsdConfigDlg::connectHandlers()
{
    connect(m_okButton, &QPushButton::clicked, this, &CPsdConfigDlg::OnOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_psdSizeUpButton, &QPushButton::clicked, this, &CPsdConfigDlg::OnPsdSizeUp);
    connect(m_psdSizeDownButton, &QPushButton::clicked, this, &CPsdConfigDlg::OnPsdSizeDown);
    connect(m_autoShiftButton, &QPushButton::clicked, this, &CPsdConfigDlg::OnAutoShift);
    onFocusOut(m_dataShiftEdit, [this] { OnKillFocusDataShift(); });
    onFocusOut(m_segmentCountEdit, [this] { OnKillFocusSegmentCount(); });
    onFocusOut(m_lbFrequenciesEdit, [this] { OnKillFocusLbFrequencies(); });
    onFocusOut(m_lbRatioEdit, [this] { OnKillFocusLbRatio(); });
}

void CPsdConfigDlg::doDataExchange(DataExchange& exchange)
{
    exchange.check(m_logOutputBox, m_logOutput);
    exchange.check(m_normalizeBox, m_normalize);
    exchange.check(m_extractAverageBox, m_extractAverage);
    exchange.integer(m_segmentCountEdit, m_segmentCount, MIN_SEGMENTS, MAX_SEGMENTS);
    exchange.integer(m_maxPsdSizeEdit, m_maxPsdSize);
    exchange.integer(m_availableDataEdit, m_availableData);
    exchange.integer(m_dataShiftEdit, m_dataShift, MIN_DATA_SHIFT, MAX_DATA_SHIFT);
    exchange.integer(m_psdSizeEdit, m_psdSize);
    exchange.radio(m_windowButtons, m_windowType);
    exchange.integer(m_lbFrequenciesEdit, m_lbFrequencies, MIN_LB_FREQUENCIES, MAX_LB_FREQUENCIES);
    // The size was read above, so the ratio's range fits the size typed.
    exchange.number(m_lbRatioEdit, m_lbRatio, lowestLbRatio(m_psdSize), MAX_LB_RATIO);
}

void CPsdConfigDlg::recompute(const std::function<void()>& change)
{
    setNote({});
    if (updateData(true)) {
        change();
        updateData(false);
    }
}

void CPsdConfigDlg::OnPsdSizeUp()
{
    recompute([this] { m_psdSize = psdSizeUp(m_psdSize, m_maxPsdSize); });
}

void CPsdConfigDlg::OnPsdSizeDown()
{
    recompute([this] { m_psdSize = psdSizeDown(m_psdSize); });
}

void CPsdConfigDlg::OnAutoShift()
{
    recompute(
        [this] { m_dataShift = automaticShift(m_state.sampleCount, m_psdSize, m_segmentCount); });
}

void CPsdConfigDlg::updateMaxPsdSize(int& editedMember, int valueBeforeEdit, const char* fieldName)
{
    const int maxSize = configurationSizeLimit(m_state.sampleCount, m_segmentCount, m_dataShift);
    if (maxSize < 0) {
        setNote(formatC("%s put back: %d segments %d apart reach past the %u samples.", fieldName,
            m_segmentCount, m_dataShift, m_state.sampleCount));
        editedMember = valueBeforeEdit;
    }
    if (maxSize <= 0)
        return;
    m_maxPsdSize = maxSize;
    if (m_psdSize > m_maxPsdSize)
        m_psdSize = m_maxPsdSize;
}

void CPsdConfigDlg::OnKillFocusDataShift()
{
    const int before = m_dataShift;
    recompute([this, before] { updateMaxPsdSize(m_dataShift, before, "Data shift"); });
}

void CPsdConfigDlg::OnKillFocusSegmentCount()
{
    const int before = m_segmentCount;
    recompute([this, before] { updateMaxPsdSize(m_segmentCount, before, "Number of segments"); });
}

void CPsdConfigDlg::OnKillFocusLbFrequencies()
{
    const int before = m_lbFrequencies;
    recompute([this, before] {
        if (m_psdSize < MIN_PSD_SIZE)
            return;
        const double ratio = static_cast<double>(m_lbFrequencies * 100) / m_psdSize;
        if (ratio < lowestLbRatio(m_psdSize) || ratio > MAX_LB_RATIO) {
            setNote(formatC("LB frequencies put back: %d of PSD size %d is more than %s %%.",
                m_lbFrequencies, m_psdSize, formatNumber(MAX_LB_RATIO).c_str()));
            m_lbFrequencies = before;
            return;
        }
        m_lbRatio = ratio;
    });
}

void CPsdConfigDlg::OnKillFocusLbRatio()
{
    const double before = m_lbRatio;
    recompute([this, before] {
        const double bins = static_cast<double>(m_psdSize) * m_lbRatio * 0.01;
        if (!(bins >= MIN_LB_FREQUENCIES && bins < MAX_LB_FREQUENCIES + 1.0)) {
            setNote(
                formatC("LB ratio put back: %s %% of PSD size %d is not %d to %d LB frequencies.",
                    formatNumber(m_lbRatio).c_str(), m_psdSize, MIN_LB_FREQUENCIES,
                    MAX_LB_FREQUENCIES));
            m_lbRatio = before;
            return;
        }
        m_lbFrequencies = static_cast<int>(bins);
    });
}

void CPsdConfigDlg::OnOK()
{
    if (acceptFields())
        accept();
}

bool CPsdConfigDlg::acceptFields()
{
    if (!updateData(true))
        return false;
    // The estimator needs a power of two; any other size would only fail
    // later with a less helpful message.
    if (m_psdSize < MIN_PSD_SIZE || !isPowerOfTwo(m_psdSize)) {
        failField(m_psdSizeEdit, "PSD size must be a power of two");
        return false;
    }
    if (m_psdSize > m_maxPsdSize)
        m_psdSize = m_maxPsdSize;
    return true;
}

PsdChoice CPsdConfigDlg::choice() const
{
    return { m_psdSize, m_maxPsdSize, m_dataShift, m_segmentCount, m_windowType, m_lbFrequencies,
        m_normalize };
}

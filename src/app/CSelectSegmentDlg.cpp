#include "app/CSelectSegmentDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>

namespace {

// The fields take any integer, so their sums can leave the range of int;
// the result is held at its ends, and OK then refuses the segment.
int clampToInt(long long value)
{
    return static_cast<int>(value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value));
}

int countToInt(unsigned count)
{
    return count > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

} // namespace

CSelectSegmentDlg::CSelectSegmentDlg(const AnalysisState& state, QWidget* parent)
    : WelmoDialog(parent)
    , m_to(countToInt(state.sampleCount))
    , m_sampleCount(state.sampleCount)
    , m_newSize(countToInt(state.sampleCount))
{
    setWindowTitle(QStringLiteral("Select Data Segment"));
    createControls();
    createLayout();
    connect(m_okButton, &QPushButton::clicked, this, &CSelectSegmentDlg::OnOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    onFocusOut(m_fromEdit, [this] { OnKillFocusFrom(); });
    onFocusOut(m_toEdit, [this] { OnKillFocusTo(); });
    onFocusOut(m_newSizeEdit, [this] { OnKillFocusNewSize(); });
    updateData(false);
}

void CSelectSegmentDlg::createControls()
{
    m_sampleCountEdit = createField(IDC_SAMPLE_COUNT);
    m_sampleCountEdit->setReadOnly(true);
    // Shown for reference; the Tab key passes it by.
    m_sampleCountEdit->setFocusPolicy(Qt::ClickFocus);
    m_fromEdit = createField(IDC_FROM);
    m_toEdit = createField(IDC_TO);
    m_newSizeEdit = createField(IDC_NEW_SIZE);
    m_okButton = createButton(1, QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton = createButton(2, QStringLiteral("Cancel"));

    QWidget* tabChain[] = { m_fromEdit, m_toEdit, m_newSizeEdit, m_okButton, m_cancelButton };
    for (std::size_t i = 1; i < std::size(tabChain); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);
}

void CSelectSegmentDlg::createLayout()
{
    auto* heldRow = new QHBoxLayout;
    heldRow->addWidget(new QLabel(QStringLiteral("Data from 1 to "), this));
    heldRow->addWidget(m_sampleCountEdit);
    heldRow->addStretch();

    auto* ends = new QGridLayout;
    ends->addWidget(new QLabel(QStringLiteral("FROM :"), this), 0, 0);
    ends->addWidget(m_fromEdit, 0, 1);
    ends->addWidget(new QLabel(QStringLiteral("TO :"), this), 0, 2);
    ends->addWidget(m_toEdit, 0, 3);
    ends->addWidget(new QLabel(QStringLiteral("New Size :"), this), 1, 0);
    ends->addWidget(m_newSizeEdit, 1, 1);

    auto* buttons = createButtonRow(m_okButton, m_cancelButton);

    auto* main = new QVBoxLayout(this);
    main->addLayout(heldRow);
    main->addLayout(ends);
    main->addLayout(buttons);
}

void CSelectSegmentDlg::doDataExchange(DataExchange& exchange)
{
    exchange.integer(m_fromEdit, m_from);
    exchange.integer(m_toEdit, m_to);
    exchange.unsignedInteger(m_sampleCountEdit, m_sampleCount);
    exchange.integer(m_newSizeEdit, m_newSize);
}

void CSelectSegmentDlg::recompute(void (CSelectSegmentDlg::*change)())
{
    if (updateData(true))
        (this->*change)();
    updateData(false);
}

void CSelectSegmentDlg::sizeFromEnds()
{
    m_newSize = clampToInt(static_cast<long long>(m_to) - m_from + 1);
}

void CSelectSegmentDlg::endFromSize()
{
    m_to = clampToInt(static_cast<long long>(m_from) + m_newSize - 1);
}

void CSelectSegmentDlg::OnKillFocusFrom()
{
    recompute(&CSelectSegmentDlg::sizeFromEnds);
}

void CSelectSegmentDlg::OnKillFocusTo()
{
    recompute(&CSelectSegmentDlg::sizeFromEnds);
}

void CSelectSegmentDlg::OnKillFocusNewSize()
{
    recompute(&CSelectSegmentDlg::endFromSize);
}

void CSelectSegmentDlg::OnOK()
{
    // The segment is FROM..TO as they stand; New Size has had its say when
    // its field was left.
    if (!updateData(true))
        return;
    accept();
}

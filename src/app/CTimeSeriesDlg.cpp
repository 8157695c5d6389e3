#include "app/CTimeSeriesDlg.h"

#include "core/Limits.h"
#include "output/EditorLaunch.h"
#include "platform/FileOpenDialog.h"
#include "platform/MessageBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTimeSeriesDlg::CTimeSeriesDlg(const AnalysisState& state, QWidget* parent)
    : WelmoDialog(parent)
    , m_state(state)
    , m_dataFileName(state.dataFileName)
    , m_headerTokens(state.headerTokens)
    , m_columnCount(state.columnCount)
    , m_dataColumn(state.dataColumn)
    , m_sampleCount(state.sampleCount)
{
    setWindowTitle(QStringLiteral("Time Series Data"));
    createControls();
    createLayout();
    connect(m_browseButton, &QPushButton::clicked, this, &CTimeSeriesDlg::OnBrowse);
    connect(m_getAndCheckButton, &QPushButton::clicked, this, &CTimeSeriesDlg::OnGetAndCheck);
    connect(m_editButton, &QPushButton::clicked, this, &CTimeSeriesDlg::OnEdit);
    connect(m_okButton, &QPushButton::clicked, this, &CTimeSeriesDlg::OnOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    updateData(false);
}

void CTimeSeriesDlg::createControls()
{
    // Created in tab order.
    m_dataFileNameEdit = createField(IDC_DATA_FILE_NAME);
    m_browseButton = createButton(IDC_BROWSE, QStringLiteral("Browse"));
    m_headerTokensEdit = createField(IDC_HEADER_TOKENS);
    m_columnCountEdit = createField(IDC_COLUMN_COUNT);
    m_dataColumnEdit = createField(IDC_DATA_COLUMN);
    m_sampleCountEdit = createField(IDC_SAMPLE_COUNT);
    m_sampleCountEdit->setAlignment(Qt::AlignCenter);
    m_getAndCheckButton = createButton(IDC_GET_AND_CHECK, QStringLiteral("Get and Check"));
    m_editButton = createButton(IDC_EDIT, QStringLiteral("Edit"));
    m_okButton = createButton(1, QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton = createButton(2, QStringLiteral("Cancel"));

    QWidget* tabChain[] = { m_dataFileNameEdit, m_browseButton, m_headerTokensEdit,
        m_columnCountEdit, m_dataColumnEdit, m_sampleCountEdit, m_getAndCheckButton, m_editButton,
        m_okButton, m_cancelButton };
    for (std::size_t i = 1; i < std::size(tabChain); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);
}

void CTimeSeriesDlg::createLayout()
{
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("File Name :"), this));
    fileRow->addWidget(m_dataFileNameEdit, 1);
    fileRow->addWidget(m_browseButton);

    auto* layout
        = new QGroupBox(QStringLiteral("ASCII file  rows x columns of float numbers"), this);
    auto* layoutGrid = new QGridLayout(layout);
    layoutGrid->addWidget(new QLabel(QStringLiteral("Data Starting Raw :"), layout), 0, 0);
    layoutGrid->addWidget(m_headerTokensEdit, 0, 1);
    layoutGrid->addWidget(new QLabel(QStringLiteral("Number of columns :"), layout), 1, 0);
    layoutGrid->addWidget(m_columnCountEdit, 1, 1);
    layoutGrid->addWidget(new QLabel(QStringLiteral("Column for processing :"), layout), 2, 0);
    layoutGrid->addWidget(m_dataColumnEdit, 2, 1);

    auto* rowsCaption = new QLabel(QStringLiteral("Data Raws"), this);
    rowsCaption->setAlignment(Qt::AlignCenter);
    rowsCaption->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* rowsColumn = new QVBoxLayout;
    rowsColumn->addWidget(rowsCaption);
    rowsColumn->addWidget(m_sampleCountEdit);
    rowsColumn->addWidget(m_getAndCheckButton);
    rowsColumn->addWidget(m_editButton);
    rowsColumn->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addWidget(layout, 1);
    middle->addLayout(rowsColumn);

    auto* buttons = createButtonRow(m_okButton, m_cancelButton);

    auto* main = new QVBoxLayout(this);
    main->addLayout(fileRow);
    main->addLayout(middle);
    main->addLayout(buttons);
}

void CTimeSeriesDlg::doDataExchange(DataExchange& exchange)
{
    exchange.unsignedInteger(m_sampleCountEdit, m_sampleCount, 0, MAX_DATA_ROWS);
    exchange.text(m_dataFileNameEdit, m_dataFileName);
    exchange.integer(m_headerTokensEdit, m_headerTokens);
    exchange.integer(m_columnCountEdit, m_columnCount, MIN_COLUMNS, MAX_COLUMNS);
    exchange.integer(m_dataColumnEdit, m_dataColumn, MIN_COLUMNS, MAX_COLUMNS);
}

void CTimeSeriesDlg::OnBrowse()
{
    // The fields are not taken first: whatever was typed since they were
    // last taken gives way to the held values.
    if (const auto chosen = getOpenFileName(this, dataFileRequest()))
        m_dataFileName = *chosen;
    updateData(false);
}

void CTimeSeriesDlg::offerDataFileName(const std::string& fileName)
{
    m_dataFileName = fileName;
    m_dataFileNameEdit->setText(QString::fromStdString(fileName));
}

TimeSeriesChoice CTimeSeriesDlg::choice() const
{
    TimeSeriesChoice choice;
    choice.dataFileName = m_dataFileName;
    choice.headerTokens = m_headerTokens;
    choice.columnCount = m_columnCount;
    choice.dataColumn = m_dataColumn;
    choice.rows = m_sampleCount;
    return choice;
}

void CTimeSeriesDlg::OnGetAndCheck()
{
    if (!updateData(true) || !m_countRows)
        return;
    if (const std::optional<unsigned> rows = m_countRows(choice())) {
        m_sampleCount = *rows;
        updateData(false);
    }
}

void CTimeSeriesDlg::OnEdit()
{
    // The name as last taken, not the text typed since.
    if (runEditor(m_state.editorCommand, m_dataFileName) != 0)
        showMessage(cannotRunEditorMessage(m_state.editorCommand));
}

void CTimeSeriesDlg::OnOK()
{
    if (!updateData(true))
        return;
    // A position past the end of the row would never be read, and the
    // series would be filled with whatever the row buffer held before.
    if (m_dataColumn > m_columnCount) {
        failField(m_dataColumnEdit, "Column for processing must not exceed Number of columns");
        return;
    }
    accept();
}

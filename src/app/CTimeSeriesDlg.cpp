#include "app/CTimeSeriesDlg.h"

#include "app/TablePreview.h"
#include "core/Limits.h"
#include "input/LayoutDetection.h"
#include "output/EditorLaunch.h"
#include "platform/FileOpenDialog.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>
#include <filesystem>
#include <utility>

namespace {

// The choices of the syntax controls, in their order.
const std::pair<const char*, char> COMMENT_CHOICES[]
    = { { "none", 0 }, { "#", '#' }, { "%", '%' }, { "!", '!' } };
const std::pair<const char*, char> SEPARATOR_CHOICES[]
    = { { "blanks", 0 }, { ",", ',' }, { ";", ';' }, { "tab", '\t' } };

template <std::size_t N>
QComboBox* createChoiceBox(
    QWidget* parent, int id, const std::pair<const char*, char> (&choices)[N])
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("field%1").arg(id));
    for (const auto& [label, value] : choices)
        box->addItem(QString::fromLatin1(label), int(value));
    return box;
}

char chosenChar(const QComboBox* box)
{
    return char(box->currentData().toInt());
}

void chooseChar(QComboBox* box, char value)
{
    const int index = box->findData(int(value));
    box->setCurrentIndex(index < 0 ? 0 : index);
}

int fieldNumber(const QLineEdit* field, int otherwise)
{
    bool ok = false;
    const int value = field->text().trimmed().toInt(&ok);
    return ok ? value : otherwise;
}

} // namespace

CTimeSeriesDlg::CTimeSeriesDlg(const AnalysisState& state, QWidget* parent)
    : WelmoDialog(parent)
    , m_state(state)
    , m_dataFileName(state.dataFileName)
    , m_headerTokens(state.headerTokens)
    , m_columnCount(state.columnCount)
    , m_dataColumn(state.dataColumn)
    , m_sampleCount(state.sampleCount)
    , m_syntax(state.tableSyntax)
    , m_fillGaps(state.fillGaps)
    , m_timeStep(state.timeStep)
    , m_timeColumn(state.timeColumn)
    , m_timeUnit(state.timeUnit)
    , m_countedFor(CountedLayout {
          state.dataFileName, state.headerTokens, state.columnCount, state.tableSyntax })
{
    setWindowTitle(QStringLiteral("Time Series Data"));
    createControls();
    createLayout();
    connect(m_browseButton, &QPushButton::clicked, this, &CTimeSeriesDlg::OnBrowse);
    connect(m_getAndCheckButton, &QPushButton::clicked, this, &CTimeSeriesDlg::OnGetAndCheck);
    connect(m_editButton, &QPushButton::clicked, this, &CTimeSeriesDlg::OnEdit);
    connect(m_okButton, &QPushButton::clicked, this, &CTimeSeriesDlg::OnOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    onFocusOut(m_dataFileNameEdit,
        [this] { detectLayout(m_dataFileNameEdit->text().trimmed().toStdString()); });
    updateData(false);
    watchTyping();
    updatePreview();
}

void CTimeSeriesDlg::watchTyping()
{
    const auto typed = [this](Typed which) {
        return [this, which] {
            if (!m_loading)
                m_typed[which] = true;
        };
    };
    connect(m_headerTokensEdit, &QLineEdit::textChanged, this, typed(HEADER));
    connect(m_columnCountEdit, &QLineEdit::textChanged, this, typed(COLUMNS));
    connect(m_dataColumnEdit, &QLineEdit::textChanged, this, typed(DATA_COLUMN));
    connect(m_sampleCountEdit, &QLineEdit::textChanged, this, typed(ROWS));
    connect(m_commentBox, &QComboBox::currentIndexChanged, this, typed(COMMENT));
    connect(m_separatorBox, &QComboBox::currentIndexChanged, this, typed(SEPARATOR));
    connect(m_decimalCommaBox, &QCheckBox::toggled, this, typed(DECIMAL));

    for (QLineEdit* field :
        { m_dataFileNameEdit, m_headerTokensEdit, m_columnCountEdit, m_dataColumnEdit })
        connect(field, &QLineEdit::textChanged, this, &CTimeSeriesDlg::updatePreview);
    for (QComboBox* box : { m_commentBox, m_separatorBox })
        connect(box, &QComboBox::currentIndexChanged, this, &CTimeSeriesDlg::updatePreview);
    connect(m_decimalCommaBox, &QCheckBox::toggled, this, &CTimeSeriesDlg::updatePreview);
    connect(m_separatorBox, &QComboBox::currentIndexChanged, this,
        [this] { m_decimalCommaBox->setEnabled(chosenChar(m_separatorBox) == ';'); });
    connect(m_columnNamesBox, &QComboBox::activated, this, [this](int index) {
        if (index > 0)
            m_dataColumnEdit->setText(QString::number(index));
    });
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
    createSyntaxControls();

    QWidget* tabChain[] = { m_dataFileNameEdit, m_browseButton, m_headerTokensEdit,
        m_columnCountEdit, m_dataColumnEdit, m_sampleCountEdit, m_getAndCheckButton, m_editButton,
        m_okButton, m_cancelButton, m_columnNamesBox, m_commentBox, m_separatorBox,
        m_decimalCommaBox, m_fillGapsBox, m_timeStepEdit, m_timeColumnEdit, m_timeUnitEdit };
    for (std::size_t i = 1; i < std::size(tabChain); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);
}

void CTimeSeriesDlg::createSyntaxControls()
{
    m_columnNamesBox = new QComboBox(this);
    m_columnNamesBox->setObjectName(QStringLiteral("field%1").arg(IDC_COLUMN_NAMES));
    m_columnNamesBox->setEnabled(false);
    m_commentBox = createChoiceBox(this, IDC_COMMENT, COMMENT_CHOICES);
    m_separatorBox = createChoiceBox(this, IDC_SEPARATOR, SEPARATOR_CHOICES);
    m_decimalCommaBox = createButton<QCheckBox>(IDC_DECIMAL_COMMA, QStringLiteral("Decimal comma"));
    m_fillGapsBox = createButton<QCheckBox>(
        IDC_FILL_GAPS, QStringLiteral("Missing values: fill by linear interpolation"));
    m_timeStepEdit = createField(IDC_TIME_STEP);
    m_timeColumnEdit = createField(IDC_TIME_COLUMN);
    m_timeUnitEdit = createField(IDC_TIME_UNIT);
    m_detectedLabel = new QLabel(this);
    m_detectedLabel->setObjectName(QStringLiteral("field%1").arg(IDC_DETECTED));
    m_preview = new QTextEdit(this);
    m_preview->setObjectName(QStringLiteral("field%1").arg(IDC_PREVIEW));
    m_preview->setReadOnly(true);
    m_preview->setFocusPolicy(Qt::NoFocus);
    m_preview->setLineWrapMode(QTextEdit::NoWrap);
    m_preview->setMinimumHeight(fontMetrics().lineSpacing() * (PREVIEW_LINES + 2));
}

QLayout* CTimeSeriesDlg::createSyntaxLayout()
{
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Comment marker :"), this), 0, 0);
    grid->addWidget(m_commentBox, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Separator :"), this), 0, 2);
    grid->addWidget(m_separatorBox, 0, 3);
    grid->addWidget(m_decimalCommaBox, 0, 4);
    grid->addWidget(m_fillGapsBox, 1, 0, 1, 5);
    grid->addWidget(new QLabel(QStringLiteral("Time step DT :"), this), 2, 0);
    grid->addWidget(m_timeStepEdit, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("or from column (0: none) :"), this), 2, 2);
    grid->addWidget(m_timeColumnEdit, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("Unit :"), this), 3, 0);
    grid->addWidget(m_timeUnitEdit, 3, 1);
    return grid;
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
    layoutGrid->addWidget(m_columnNamesBox, 2, 2);

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
    main->addLayout(createSyntaxLayout());
    main->addWidget(m_detectedLabel);
    main->addWidget(m_preview, 1);
    main->addLayout(buttons);
}

void CTimeSeriesDlg::doDataExchange(DataExchange& exchange)
{
    // What the dialog loads itself is not the user's typing.
    m_loading = !exchange.isSaving();
    exchange.unsignedInteger(m_sampleCountEdit, m_sampleCount, 0, MAX_DATA_ROWS);
    exchange.text(m_dataFileNameEdit, m_dataFileName);
    exchange.integer(m_headerTokensEdit, m_headerTokens);
    exchange.integer(m_columnCountEdit, m_columnCount, MIN_COLUMNS, MAX_COLUMNS);
    exchange.integer(m_dataColumnEdit, m_dataColumn, MIN_COLUMNS, MAX_COLUMNS);
    exchangeSyntax(exchange);
    exchange.check(m_fillGapsBox, m_fillGaps);
    exchange.number(m_timeStepEdit, m_timeStep);
    if (exchange.isSaving() && !exchange.failed() && !(m_timeStep > 0 && std::isfinite(m_timeStep)))
        exchange.fail(m_timeStepEdit, "The time step must be a positive number");
    exchange.integer(m_timeColumnEdit, m_timeColumn, 0, MAX_COLUMNS);
    exchange.text(m_timeUnitEdit, m_timeUnit);
    m_loading = false;
}

void CTimeSeriesDlg::exchangeSyntax(DataExchange& exchange)
{
    if (exchange.failed())
        return;
    if (exchange.isSaving()) {
        m_syntax = fieldSyntax();
        return;
    }
    showSyntax(m_syntax);
}

TableSyntax CTimeSeriesDlg::fieldSyntax() const
{
    TableSyntax syntax;
    syntax.comment = chosenChar(m_commentBox);
    syntax.separator = chosenChar(m_separatorBox);
    syntax.decimalComma = syntax.separator == ';' && m_decimalCommaBox->isChecked();
    return syntax;
}

void CTimeSeriesDlg::showSyntax(const TableSyntax& syntax)
{
    chooseChar(m_commentBox, syntax.comment);
    chooseChar(m_separatorBox, syntax.separator);
    m_decimalCommaBox->setChecked(syntax.hasDecimalComma());
    m_decimalCommaBox->setEnabled(syntax.separator == ';');
}

void CTimeSeriesDlg::OnBrowse()
{
    // The fields are not taken first: whatever was typed since they were
    // last taken gives way to the held values.
    const auto chosen = getOpenFileName(this, dataFileRequest());
    if (chosen)
        m_dataFileName = *chosen;
    updateData(false);
    if (chosen)
        detectLayout(*chosen);
}

void CTimeSeriesDlg::offerDataFileName(const std::string& fileName)
{
    m_dataFileName = fileName;
    m_dataFileNameEdit->setText(QString::fromStdString(fileName));
    detectLayout(fileName);
}

void CTimeSeriesDlg::detectLayout(const std::string& fileName)
{
    if (fileName.empty() || fileName == m_detectedFileName)
        return;
    m_detectedFileName = fileName;
    DetectedLayout detected;
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)
        || !detectFileLayout(fileName, detected)) {
        m_detectedLabel->clear();
        offerColumnNames({});
        return;
    }
    applyDetected(detected);
}

// Fills the fields the user has not typed; a typed one keeps its text.
void CTimeSeriesDlg::applyDetected(const DetectedLayout& detected)
{
    m_detectedLabel->setText(QString::fromStdString(detected.description));
    offerColumnNames(detected.columnNames);
    if (!detected.found)
        return;
    m_loading = true;
    if (!m_typed[HEADER]) {
        m_headerTokens = detected.headerTokens;
        m_headerTokensEdit->setText(QString::number(m_headerTokens));
    }
    if (!m_typed[COLUMNS]) {
        m_columnCount = detected.columnCount;
        m_columnCountEdit->setText(QString::number(m_columnCount));
    }
    if (!m_typed[DATA_COLUMN] && m_dataColumn > detected.columnCount) {
        m_dataColumn = detected.columnCount;
        m_dataColumnEdit->setText(QString::number(m_dataColumn));
    }
    if (!m_typed[COMMENT])
        chooseChar(m_commentBox, detected.syntax.comment);
    if (!m_typed[SEPARATOR])
        chooseChar(m_separatorBox, detected.syntax.separator);
    if (!m_typed[DECIMAL])
        m_decimalCommaBox->setChecked(detected.syntax.hasDecimalComma());
    m_decimalCommaBox->setEnabled(chosenChar(m_separatorBox) == ';');
    m_loading = false;
    updatePreview();
}

void CTimeSeriesDlg::offerColumnNames(const std::vector<std::string>& names)
{
    m_columnNamesBox->clear();
    m_columnNamesBox->addItem(QStringLiteral("names"));
    for (std::size_t i = 0; i < names.size(); ++i)
        m_columnNamesBox->addItem(
            QStringLiteral("%1: %2").arg(i + 1).arg(QString::fromStdString(names[i])));
    m_columnNamesBox->setEnabled(!names.empty());
}

void CTimeSeriesDlg::updatePreview()
{
    if (!m_preview)
        return;
    const std::string fileName = m_dataFileNameEdit->text().trimmed().toStdString();
    if (fileName != m_previewFileName) {
        m_previewFileName = fileName;
        m_previewBytes = readPreviewBytes(fileName);
    }
    const PreviewLayout layout { fieldSyntax(), fieldNumber(m_headerTokensEdit, m_headerTokens),
        fieldNumber(m_columnCountEdit, m_columnCount),
        fieldNumber(m_dataColumnEdit, m_dataColumn) };
    m_preview->setHtml(tablePreviewHtml(m_previewBytes, layout));
}

TimeSeriesChoice CTimeSeriesDlg::choice() const
{
    TimeSeriesChoice choice;
    choice.dataFileName = m_dataFileName;
    choice.headerTokens = m_headerTokens;
    choice.columnCount = m_columnCount;
    choice.dataColumn = m_dataColumn;
    choice.rows = m_sampleCount;
    choice.tableSyntax = m_syntax;
    choice.fillGaps = m_fillGaps;
    choice.timeStep = m_timeStep;
    choice.timeColumn = m_timeColumn;
    choice.timeUnit = m_timeUnit;
    choice.hasTimeStep = (m_timeColumn > 0 || m_timeStep != 1.0) ? 1 : 0;
    return choice;
}

void CTimeSeriesDlg::OnGetAndCheck()
{
    if (!updateData(true) || !m_countRows)
        return;
    if (const std::optional<unsigned> rows = m_countRows(choice())) {
        m_sampleCount = *rows;
        m_countedFor = countedLayout();
        updateData(false);
    }
}

CTimeSeriesDlg::CountedLayout CTimeSeriesDlg::countedLayout() const
{
    return { m_dataFileName, m_headerTokens, m_columnCount, m_syntax };
}

// A row count typed by the user or made for this layout stands; any other
// belongs to another file or layout and would read the wrong rows.
bool CTimeSeriesDlg::countRowsForOk()
{
    if (m_typed[ROWS] || m_countedFor == countedLayout() || !m_countRows)
        return true;
    const std::optional<unsigned> rows = m_countRows(choice());
    if (!rows)
        return false;
    m_sampleCount = *rows;
    m_countedFor = countedLayout();
    updateData(false);
    return true;
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
    if (m_timeColumn > m_columnCount) {
        failField(m_timeColumnEdit, "The time column must not exceed Number of columns");
        return;
    }
    if (!countRowsForOk())
        return;
    accept();
}

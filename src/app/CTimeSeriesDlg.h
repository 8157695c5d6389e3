#pragma once

#include "commands/DialogValues.h"
#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTextEdit;
struct DetectedLayout;

// "Time Series Data": the data file, the layout of its table and the number
// of rows to read. Browse, Get and Check and Edit work on the dialog's held
// values; OK hands them back (choice) and changes nothing.
class CTimeSeriesDlg : public WelmoDialog {
    Q_OBJECT
public:
    // Control ids: the controls are named "field<id>" and "button<id>".
    static constexpr int IDC_DATA_FILE_NAME = 1000;
    static constexpr int IDC_BROWSE = 1001;
    static constexpr int IDC_HEADER_TOKENS = 1002;
    static constexpr int IDC_COLUMN_COUNT = 1003;
    static constexpr int IDC_DATA_COLUMN = 1004;
    static constexpr int IDC_SAMPLE_COUNT = 1005;
    static constexpr int IDC_GET_AND_CHECK = 1006;
    static constexpr int IDC_EDIT = 1007;
    static constexpr int IDC_COMMENT = 1008;
    static constexpr int IDC_SEPARATOR = 1009;
    static constexpr int IDC_DECIMAL_COMMA = 1010;
    static constexpr int IDC_FILL_GAPS = 1011;
    static constexpr int IDC_TIME_STEP = 1012;
    static constexpr int IDC_TIME_COLUMN = 1013;
    static constexpr int IDC_TIME_UNIT = 1014;
    static constexpr int IDC_COLUMN_NAMES = 1015;
    static constexpr int IDC_DETECTED = 1016;
    static constexpr int IDC_PREVIEW = 1017;

    // Get and Check's count of the fields' layout: nothing when there is none.
    using RowCounter = std::function<std::optional<unsigned>(const TimeSeriesChoice& layout)>;

    explicit CTimeSeriesDlg(const AnalysisState& state, QWidget* parent = nullptr);

    // Puts `fileName` in the file field, as Browse does, and detects its
    // layout.
    void offerDataFileName(const std::string& fileName);
    void setRowCounter(RowCounter counter) { m_countRows = std::move(counter); }
    // The values as last taken from the fields: after OK, what it took.
    TimeSeriesChoice choice() const;

    void OnBrowse();
    void OnGetAndCheck();
    void OnEdit();
    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    // What a row count was made for: another file or layout needs its own.
    struct CountedLayout {
        std::string dataFileName;
        int headerTokens;
        int columnCount;
        TableSyntax syntax;
        bool operator==(const CountedLayout&) const = default;
    };
    // The fields detection may fill, in the order `m_typed` holds them.
    enum Typed { HEADER, COLUMNS, DATA_COLUMN, COMMENT, SEPARATOR, DECIMAL, ROWS, TYPED_COUNT };

    void createControls();
    void createSyntaxControls();
    void createLayout();
    QLayout* createSyntaxLayout();
    void watchTyping();
    void exchangeSyntax(DataExchange& exchange);
    CountedLayout countedLayout() const;
    TableSyntax fieldSyntax() const;
    void showSyntax(const TableSyntax& syntax);
    void detectLayout(const std::string& fileName);
    void applyDetected(const DetectedLayout& detected);
    void offerColumnNames(const std::vector<std::string>& names);
    void updatePreview();
    bool countRowsForOk();

    const AnalysisState& m_state;

    std::string m_dataFileName;
    int m_headerTokens;
    int m_columnCount;
    int m_dataColumn;
    unsigned m_sampleCount;
    RowCounter m_countRows;
    TableSyntax m_syntax;
    int m_fillGaps;
    double m_timeStep;
    int m_timeColumn;
    std::string m_timeUnit;
    std::optional<CountedLayout> m_countedFor;
    std::string m_detectedFileName;
    std::string m_previewFileName;
    std::string m_previewBytes;
    bool m_typed[TYPED_COUNT] = {};
    bool m_loading = false;

    QLineEdit* m_dataFileNameEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    QLineEdit* m_headerTokensEdit = nullptr;
    QLineEdit* m_columnCountEdit = nullptr;
    QLineEdit* m_dataColumnEdit = nullptr;
    QLineEdit* m_sampleCountEdit = nullptr;
    QPushButton* m_getAndCheckButton = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QComboBox* m_commentBox = nullptr;
    QComboBox* m_separatorBox = nullptr;
    QCheckBox* m_decimalCommaBox = nullptr;
    QCheckBox* m_fillGapsBox = nullptr;
    QLineEdit* m_timeStepEdit = nullptr;
    QLineEdit* m_timeColumnEdit = nullptr;
    QLineEdit* m_timeUnitEdit = nullptr;
    QComboBox* m_columnNamesBox = nullptr;
    QLabel* m_detectedLabel = nullptr;
    QTextEdit* m_preview = nullptr;
};

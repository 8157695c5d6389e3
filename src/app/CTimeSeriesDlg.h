#pragma once

#include "commands/DialogValues.h"
#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

#include <functional>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

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

    // Get and Check's count of the fields' layout: nothing when there is none.
    using RowCounter = std::function<std::optional<unsigned>(const TimeSeriesChoice& layout)>;

    explicit CTimeSeriesDlg(const AnalysisState& state, QWidget* parent = nullptr);

    // Puts `fileName` in the file field, as Browse does.
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
    void createControls();
    void createLayout();

    const AnalysisState& m_state;

    std::string m_dataFileName;
    int m_headerTokens;
    int m_columnCount;
    int m_dataColumn;
    unsigned m_sampleCount;
    RowCounter m_countRows;

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
};

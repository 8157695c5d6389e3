#pragma once

#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

// "Time Series Data": the data file, the layout of its table and the number
// of rows to read. Browse, Get and Check and Edit work on the dialog's held
// values; the record changes only on OK, which also raises dialogAccepted.
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

    explicit CTimeSeriesDlg(AnalysisState& state, QWidget* parent = nullptr);

    // Puts `fileName` in the file field, as Browse does; the record
    // changes only on OK.
    void offerDataFileName(const std::string& fileName);
    // Told when Get and Check's count was cancelled (which changes nothing).
    void setCancelledNotice(std::function<void()> notice) { m_cancelledNotice = std::move(notice); }

    void OnBrowse();
    void OnGetAndCheck();
    void OnEdit();
    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    void createControls();
    void createLayout();

    AnalysisState& m_state;

    std::string m_dataFileName;
    int m_headerTokens;
    int m_columnCount;
    int m_dataColumn;
    unsigned m_sampleCount;
    std::function<void()> m_cancelledNotice;

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

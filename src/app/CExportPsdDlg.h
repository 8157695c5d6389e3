#pragma once

#include "commands/DialogValues.h"
#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Export Psd file": the export file name, the first and last lines of the
// log-log format, the minimum level, the choice of scales and the time step.
// OK closes with the values taken; the command stores them and writes the
// file. The time step comes in through setDt.
class CExportPsdDlg : public WelmoDialog {
    Q_OBJECT
public:
    // Control ids: the controls are named "field<id>" and "button<id>".
    static constexpr int IDC_PSD_FILE_NAME = 1000;
    static constexpr int IDC_FIRST_LOG_FREQUENCY = 1023;
    static constexpr int IDC_FIRST_PSD = 1024;
    static constexpr int IDC_LAST_LOG_FREQUENCY = 1025;
    static constexpr int IDC_LAST_PSD = 1026;
    static constexpr int IDC_MIN_LOG = 1037;
    static constexpr int IDC_NORMAL_SCALES = 1038;
    static constexpr int IDC_DT = 1049;

    explicit CExportPsdDlg(const AnalysisState& state, QWidget* parent = nullptr);

    void setDt(double dt);
    double dt() const { return m_dt; }
    // The values accepted by OK.
    ExportChoice choice() const;

    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    void createControls();
    void createLayout();
    // M of the estimate that filled the buffer, whatever psdSize says now.
    int spectrumSize() const;

    const AnalysisState& m_state;

    std::string m_psdFileName;
    double m_lastPsd = 0.0;
    double m_firstPsd = 0.0;
    double m_firstLogFrequency = 0.0;
    double m_lastLogFrequency = 0.0;
    double m_minLog;
    int m_normalScales = 0;
    double m_dt = 1.0;

    QLineEdit* m_psdFileNameEdit = nullptr;
    QLineEdit* m_firstLogFrequencyEdit = nullptr;
    QLineEdit* m_firstPsdEdit = nullptr;
    QLineEdit* m_lastLogFrequencyEdit = nullptr;
    QLineEdit* m_lastPsdEdit = nullptr;
    QLineEdit* m_minLogEdit = nullptr;
    QCheckBox* m_normalScalesBox = nullptr;
    QLineEdit* m_dtEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

#pragma once

#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Graphics": the display settings of the record. Any number is accepted,
// also a minimum above its maximum; the view copes with that. The record
// changes only on OK, and nothing is recomputed.
class CGraphicsDlg : public WelmoDialog {
    Q_OBJECT
public:
    // Control ids: the controls are named "field<id>" and "button<id>".
    static constexpr int IDC_SIGNAL_MIN = 1024;
    static constexpr int IDC_SIGNAL_MAX = 1025;
    static constexpr int IDC_DOTTED_SIGNAL = 1042;
    static constexpr int IDC_AUTO_SCALE_SIGNAL = 1043;
    static constexpr int IDC_LOG_FREQUENCY = 1044;
    static constexpr int IDC_MIN_LOG_FREQUENCY = 1045;
    static constexpr int IDC_COLOR_LB = 1046;
    static constexpr int IDC_LOG_POWER = 1047;
    static constexpr int IDC_MIN_LOG_POWER = 1048;
    static constexpr int IDC_MAX_LOG_POWER = 1049;
    static constexpr int IDC_MAX_NORMAL_POWER = 1050;

    explicit CGraphicsDlg(AnalysisState& state, QWidget* parent = nullptr);

    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    void createControls();
    void createLayout();

    AnalysisState& m_state;

    int m_autoScaleSignal;
    int m_dottedSignal;
    int m_logFrequency;
    int m_colorLb;
    int m_logPower;
    double m_minLogFrequency;
    double m_maxLogPower;
    double m_maxNormalPower;
    double m_minLogPower;
    double m_signalMax;
    double m_signalMin;

    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QCheckBox* m_dottedSignalBox = nullptr;
    QCheckBox* m_autoScaleSignalBox = nullptr;
    QLineEdit* m_signalMinEdit = nullptr;
    QLineEdit* m_signalMaxEdit = nullptr;
    QCheckBox* m_logFrequencyBox = nullptr;
    QLineEdit* m_minLogFrequencyEdit = nullptr;
    QCheckBox* m_colorLbBox = nullptr;
    QCheckBox* m_logPowerBox = nullptr;
    QLineEdit* m_minLogPowerEdit = nullptr;
    QLineEdit* m_maxLogPowerEdit = nullptr;
    QLineEdit* m_maxNormalPowerEdit = nullptr;
};

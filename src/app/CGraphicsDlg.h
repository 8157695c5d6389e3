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

#pragma once

#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

#include <functional>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "PSD configuration": the estimator's parameters, with the dependent values
// (largest size the data allow, automatic shift, low band as bins or as a
// percentage) recomputed when a field is left or a button pressed. The
// record changes only on OK.
class CPsdConfigDlg : public WelmoDialog {
    Q_OBJECT
public:
    explicit CPsdConfigDlg(AnalysisState& state, QWidget* parent = nullptr);

    void OnPsdSizeUp();
    void OnPsdSizeDown();
    void OnAutoShift();
    void OnKillFocusDataShift();
    void OnKillFocusSegmentCount();
    void OnKillFocusLbFrequencies();
    void OnKillFocusLbRatio();
    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    void createControls();
    void createLayout();
    void connectHandlers();
    // Read the fields, change the members, write them back; the change is
    // skipped when a field does not read, so nothing is computed from stale
    // values.
    void recompute(const std::function<void()>& change);
    void updateMaxPsdSize(int& editedMember, int valueBeforeEdit);
    // Validates and copies the accepted values into the record.
    bool acceptFields();

    AnalysisState& m_state;

    int m_logOutput;
    int m_normalize;
    int m_extractAverage;
    int m_segmentCount;
    int m_maxPsdSize;
    int m_availableData;
    int m_dataShift;
    int m_psdSize;
    int m_windowType;
    int m_lbFrequencies;
    double m_lbRatio;

    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLineEdit* m_availableDataEdit = nullptr;
    QLineEdit* m_maxPsdSizeEdit = nullptr;
    QLineEdit* m_psdSizeEdit = nullptr;
    QPushButton* m_psdSizeUpButton = nullptr;
    QPushButton* m_psdSizeDownButton = nullptr;
    QLineEdit* m_segmentCountEdit = nullptr;
    QLineEdit* m_dataShiftEdit = nullptr;
    QPushButton* m_autoShiftButton = nullptr;
    QCheckBox* m_extractAverageBox = nullptr;
    QCheckBox* m_normalizeBox = nullptr;
    QCheckBox* m_logOutputBox = nullptr;
    std::vector<QRadioButton*> m_windowButtons;
    QLineEdit* m_lbRatioEdit = nullptr;
    QLineEdit* m_lbFrequenciesEdit = nullptr;
};

#pragma once

#include "commands/DialogValues.h"
#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "PSD configuration": the estimator's parameters, with the dependent values
// (largest size the data allow, automatic shift, low band as bins or as a
// percentage) recomputed when a field is left or a button pressed. OK
// hands the settings back (choice) and changes nothing.
class CPsdConfigDlg : public WelmoDialog {
    Q_OBJECT
public:
    // Control ids: the controls are named "field<id>" and "button<id>".
    static constexpr int IDC_PSD_SIZE_UP = 1001;
    static constexpr int IDC_PSD_SIZE_DOWN = 1006;
    static constexpr int IDC_AVAILABLE_DATA = 1008;
    static constexpr int IDC_MAX_PSD_SIZE = 1009;
    static constexpr int IDC_PSD_SIZE = 1010;
    static constexpr int IDC_SEGMENT_COUNT = 1011;
    static constexpr int IDC_DATA_SHIFT = 1012;
    static constexpr int IDC_AUTO_SHIFT = 1013;
    static constexpr int IDC_EXTRACT_AVERAGE = 1014;
    static constexpr int IDC_NORMALIZE = 1015;
    static constexpr int IDC_LOG_OUTPUT = 1016;
    static constexpr int IDC_FIRST_WINDOW = 1017;
    static constexpr int IDC_LB_RATIO = 1021;
    static constexpr int IDC_LB_FREQUENCIES = 1022;

    explicit CPsdConfigDlg(const AnalysisState& state, QWidget* parent = nullptr);

    // The one line under the fields that says why a field was put back;
    // empty when none was.
    QString note() const;

    // The settings as last taken from the fields: after OK, what it took.
    PsdChoice choice() const;

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
    void updateMaxPsdSize(int& editedMember, int valueBeforeEdit, const char* fieldName);
    // A record whose size the dialog's own checks refuse (after a failed
    // estimate, or with a shorter series) opens with the largest usable one.
    void mendUnusableSize();
    void setNote(const std::string& text);
    // Validates the fields and lowers the size to the largest.
    bool acceptFields();

    const AnalysisState& m_state;

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
    QLabel* m_noteLabel = nullptr;
};

#pragma once

#include "commands/DialogValues.h"
#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

class QLineEdit;
class QPushButton;

// "Select Data Segment": FROM and TO of the samples to keep, with the new
// size kept in step when either end or the size is left. OK closes with
// FROM..TO as they stand, whether or not they lie within the series.
class CSelectSegmentDlg : public WelmoDialog {
    Q_OBJECT
public:
    // Control ids: the controls are named "field<id>" and "button<id>".
    static constexpr int IDC_SAMPLE_COUNT = 1033;
    static constexpr int IDC_FROM = 1034;
    static constexpr int IDC_TO = 1035;
    static constexpr int IDC_NEW_SIZE = 1036;

    explicit CSelectSegmentDlg(const AnalysisState& state, QWidget* parent = nullptr);

    // The segment accepted by OK.
    SegmentChoice segment() const { return { m_from, m_to }; }

    void OnKillFocusFrom();
    void OnKillFocusTo();
    void OnKillFocusNewSize();
    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    void createControls();
    void createLayout();
    // Takes the fields, applies `change` when they all read, and shows the
    // held values again either way.
    void recompute(void (CSelectSegmentDlg::*change)());
    void sizeFromEnds();
    void endFromSize();

    int m_from = 1;
    int m_to;
    unsigned m_sampleCount;
    int m_newSize;

    QLineEdit* m_fromEdit = nullptr;
    QLineEdit* m_toEdit = nullptr;
    QLineEdit* m_sampleCountEdit = nullptr;
    QLineEdit* m_newSizeEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

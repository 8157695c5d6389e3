#pragma once

#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

class QLineEdit;
class QPushButton;

// "Running Average": the window length, 2 at every opening, taken within
// 2..1000 by OK.
class CRunningAverageDlg : public WelmoDialog {
    Q_OBJECT
public:
    // Control ids: the controls are named "field<id>" and "button<id>".
    static constexpr int IDC_WINDOW = 1032;

    explicit CRunningAverageDlg(QWidget* parent = nullptr);

    // The window length accepted by OK.
    int window() const { return m_window; }

    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    void createLayout();

    int m_window = 2;

    QLineEdit* m_windowEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

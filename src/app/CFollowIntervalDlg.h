#pragma once

#include "platform/WelmoDialog.h"

class QLineEdit;
class QPushButton;

// "Follow File": the seconds between two looks at the data file while
// Follow File is on, taken within MIN_FOLLOW_SECONDS..MAX_FOLLOW_SECONDS.
class CFollowIntervalDlg : public WelmoDialog {
    Q_OBJECT
public:
    // Control ids: the controls are named "field<id>" and "button<id>".
    static constexpr int IDC_SECONDS = 1040;

    explicit CFollowIntervalDlg(double seconds, QWidget* parent = nullptr);

    // The interval accepted by OK.
    double seconds() const { return m_seconds; }

    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    double m_seconds;

    QLineEdit* m_secondsEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

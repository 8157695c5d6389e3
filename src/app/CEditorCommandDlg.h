#pragma once

#include "core/AnalysisState.h"
#include "platform/WelmoDialog.h"

#include <string>

class QLineEdit;
class QPushButton;

// "Editor's Command Line": the command that starts the external editor,
// held whole however long it is. Esc and the close box cancel.
class CEditorCommandDlg : public WelmoDialog {
    Q_OBJECT
public:
    // Control ids: the controls are named "field<id>" and "button<id>".
    static constexpr int IDC_EDITOR_COMMAND = 1032;

    explicit CEditorCommandDlg(AnalysisState& state, QWidget* parent = nullptr);

    void OnOK();

protected:
    void doDataExchange(DataExchange& exchange) override;

private:
    AnalysisState& m_state;
    std::string m_editorCommand;

    QLineEdit* m_editorCommandEdit = nullptr;
    QPushButton* m_okButton = nullptr;
};

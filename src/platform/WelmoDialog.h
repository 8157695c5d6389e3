#pragma once

#include "core/Progress.h"
#include "platform/DataExchange.h"

#include <QDialog>
#include <QPushButton>

#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QLineEdit;

// The closing buttons' ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Base of the program's dialogs: a modal dialog with its field exchange. Subclasses exchange their
// members in doDataExchange and load the controls with updateData(false) once they are built.
class WelmoDialog : public QDialog {
    Q_OBJECT
public:
    explicit WelmoDialog(QWidget* parent = nullptr);

    // Runs the exchange; returns false when a field failed on save.
    bool updateData(bool save);

    void setVisible(bool visible) override;

    // Where a long step started from the dialog (the data dialog's row
    // count) reports its progress; none by default.
    void setProgress(ProgressCallback progress) { m_progress = std::move(progress); }
    const ProgressCallback& progress() const { return m_progress; }

protected:
    virtual void doDataExchange(DataExchange& exchange) = 0;

    // Calls `handler` when `field` loses the keyboard focus (the edit
    // field's lose-focus notification; Enter alone does not trigger it).
    void onFocusOut(QWidget* field, std::function<void()> handler);

    // Refuses `field` for a rule of the dialog's own, as a failing field of
    // the exchange is refused: message, focus and selection.
    void failField(QWidget* field, const std::string& message);

    // The standard OK: save all fields, close with OK when they pass.
    // Returns whether it closed.
    bool defaultOk();

    // Controls named after their resource ids ("field1005", "button1006"),
    // so that tests and the tab order can find them.
    QLineEdit* createField(int id, bool readOnly = false);
    template <typename Button = QPushButton> Button* createButton(int id, const QString& text)
    {
        auto* button = new Button(text, this);
        button->setObjectName(QStringLiteral("button%1").arg(id));
        return button;
    }

    // The centred row of the dialog's closing buttons.
    static QHBoxLayout* createButtonRow(QPushButton* ok, QPushButton* cancel);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FocusOutHandler {
        QWidget* field;
        std::function<void()> handler;
    };
    std::vector<FocusOutHandler> m_focusOutHandlers;
    ProgressCallback m_progress;
    bool m_inFocusOutHandler = false;
    bool m_exchanging = false;
    bool m_hiding = false;
};

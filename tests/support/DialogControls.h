#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

#include <memory>
#include <string>

// The controls of a dialog under test, found by the names they carry after
// their resource ids ("field1005", "button1006").
template <typename Dialog> struct DialogControls {
    QLineEdit* field(int id) const
    {
        return m_dialog->template findChild<QLineEdit*>(QStringLiteral("field%1").arg(id));
    }
    QAbstractButton* button(int id) const
    {
        return m_dialog->template findChild<QAbstractButton*>(QStringLiteral("button%1").arg(id));
    }
    std::string text(int id) const { return field(id)->text().toStdString(); }
    void type(int id, const std::string& text) { field(id)->setText(QString::fromStdString(text)); }
    // The field's lose-focus notification, as when the user tabs away.
    void leave(int id)
    {
        QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field(id), &event);
    }
    void click(int id) { button(id)->click(); }

    std::unique_ptr<Dialog> m_dialog;
};

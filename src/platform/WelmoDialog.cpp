#include "platform/WelmoDialog.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <climits>

WelmoDialog::WelmoDialog(QWidget* parent)
    : QDialog(parent)
{
    // A title bar with the close box only, as the framework's modal frame.
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

bool WelmoDialog::updateData(bool save)
{
    // A failing field takes the focus back, and the field that had it then
    // reports losing it: that is the exchange moving the focus, not the user
    // leaving a field, and it must not start another exchange.
    const bool wasExchanging = m_exchanging;
    m_exchanging = true;
    DataExchange exchange(save);
    doDataExchange(exchange);
    m_exchanging = wasExchanging;
    return !exchange.failed();
}

void WelmoDialog::failField(QWidget* field, const std::string& message)
{
    const bool wasExchanging = m_exchanging;
    m_exchanging = true;
    DataExchange exchange(true);
    exchange.fail(field, message);
    m_exchanging = wasExchanging;
}

void WelmoDialog::onFocusOut(QWidget* field, std::function<void()> handler)
{
    m_focusOutHandlers.push_back({ field, std::move(handler) });
    field->installEventFilter(this);
}

bool WelmoDialog::defaultOk()
{
    if (!updateData(true))
        return false;
    accept();
    return true;
}

QLineEdit* WelmoDialog::createField(int id, bool readOnly)
{
    auto* field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("field%1").arg(id));
    field->setReadOnly(readOnly);
    // Text is held whole: no length limit cuts a long name or command.
    field->setMaxLength(INT_MAX);
    return field;
}

QHBoxLayout* WelmoDialog::createButtonRow(QPushButton* ok, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    if (cancel)
        row->addWidget(cancel);
    row->addStretch();
    return row;
}

void WelmoDialog::setVisible(bool visible)
{
    // Hiding moves the focus out of the field that had it, after OK or
    // Cancel: the user has finished with the fields by then.
    const bool wasHiding = m_hiding;
    m_hiding = !visible;
    QDialog::setVisible(visible);
    m_hiding = wasHiding;
}

bool WelmoDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return QDialog::eventFilter(watched, event);
    // The focus leaves the window only for a while (a message box, another
    // window, a menu) and comes back to the same field: that is no leaving.
    // Handlers do not nest: a handler that moves the focus itself (back to a
    // field it refused) must not set off the next field's handler.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
        || m_inFocusOutHandler || m_exchanging || m_hiding)
        return QDialog::eventFilter(watched, event);
    for (const FocusOutHandler& entry : m_focusOutHandlers) {
        if (entry.field != watched)
            continue;
        m_inFocusOutHandler = true;
        entry.handler();
        m_inFocusOutHandler = false;
        break;
    }
    return QDialog::eventFilter(watched, event);
}

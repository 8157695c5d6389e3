#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageHook& messageHook()
{
    static MessageHook hook;
    return hook;
}
} // namespace

void setMessageHook(MessageHook hook)
{
    messageHook() = std::move(hook);
}

void showMessage(const std::string& text)
{
    if (messageHook()) {
        messageHook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Welmo"), QString::fromStdString(text),
        QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

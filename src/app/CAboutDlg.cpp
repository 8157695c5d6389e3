#include "app/CAboutDlg.h"

#include "core/Version.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Welmo"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    const QIcon applicationIcon = QApplication::windowIcon().isNull()
        ? QIcon(QStringLiteral(":/icons/welmo.svg"))
        : QApplication::windowIcon();
    icon->setPixmap(applicationIcon.pixmap(32, 32));

    auto* version
        = new QLabel(QStringLiteral("Welmo Version ") + QString::fromLatin1(WELMO_VERSION), this);
    version->setObjectName(QStringLiteral("aboutVersion"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(version, 0, 1, Qt::AlignLeft | Qt::AlignVCenter);
    layout->setColumnStretch(1, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);

    // Room for the icon, the version line and OK at the default font.
    setMinimumSize(262, 145);
}

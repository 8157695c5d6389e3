#include "app/CWelmoDoc.h"

#include <QFileInfo>

CWelmoDoc::CWelmoDoc(QObject* parent)
    : QObject(parent)
{
    onNewDocument();
}

void CWelmoDoc::setTitle(const QString& title)
{
    // The view sets the title on every paint; only a real change reaches
    // the caption.
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(m_title);
}

void CWelmoDoc::onNewDocument()
{
    m_pathName.clear();
    setTitle(QStringLiteral("Untitled"));
}

void CWelmoDoc::onOpenDocument(const QString& pathName)
{
    m_pathName = pathName;
    setTitle(QFileInfo(pathName).fileName());
}

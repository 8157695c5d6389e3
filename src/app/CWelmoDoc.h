#pragma once

#include "core/ReferenceCurves.h"

#include <QObject>
#include <QString>

// The program's one document. It holds a title, the path it was opened
// from and the reference spectra the user kept to compare with: the
// analysis data lives in the record, so loading reads nothing and saving
// writes nothing, and a command that the record's snapshot undoes leaves
// the references alone.
class CWelmoDoc : public QObject {
    Q_OBJECT
public:
    explicit CWelmoDoc(QObject* parent = nullptr);

    QString title() const { return m_title; }
    QString pathName() const { return m_pathName; }
    void setTitle(const QString& title);

    ReferenceCurves& references() { return m_references; }
    const ReferenceCurves& references() const { return m_references; }

    // New: an untitled document without a path.
    void onNewDocument();
    // Open: takes the path and its file name as the title; reads nothing.
    void onOpenDocument(const QString& pathName);

signals:
    void titleChanged(const QString& title);

private:
    QString m_title;
    QString m_pathName;
    ReferenceCurves m_references;
};

#pragma once

#include <QObject>
#include <QString>

// The program's one document. It holds a title and the path it was opened
// from and nothing else: the analysis data lives in the record, so loading
// reads nothing and saving writes nothing.
class CWelmoDoc : public QObject {
    Q_OBJECT
public:
    explicit CWelmoDoc(QObject* parent = nullptr);

    QString title() const { return m_title; }
    QString pathName() const { return m_pathName; }
    void setTitle(const QString& title);

    // New: an untitled document without a path.
    void onNewDocument();
    // Open: takes the path and its file name as the title; reads nothing.
    void onOpenDocument(const QString& pathName);

signals:
    void titleChanged(const QString& title);

private:
    QString m_title;
    QString m_pathName;
};

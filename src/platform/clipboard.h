#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>

class QMimeData;

// The CLIPBOARD selection as the program sees it: what it offers, each
// flavour's bytes, and a notification on every change of owner (also for
// the program's own writes, synchronously).
class Clipboard : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QStringList formats() const = 0;
    virtual QByteArray data(const QString &format) const = 0;
    // Takes ownership of `data`.
    virtual void setMimeData(QMimeData *data) = 0;

signals:
    void changed();
};

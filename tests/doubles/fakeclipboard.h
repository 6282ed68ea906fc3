#pragma once

#include "platform/clipboard.h"

#include <QMap>

// A clipboard for tests: another program "copies" with offer(); every write
// notifies at once, as the X11 clipboard does.
class FakeClipboard : public Clipboard
{
    Q_OBJECT
public:
    using Clipboard::Clipboard;

    void offer(const QMap<QString, QByteArray> &flavours)
    {
        m_flavours = flavours;
        emit changed();
    }

    QStringList formats() const override { return m_flavours.keys(); }
    QByteArray data(const QString &format) const override { return m_flavours.value(format); }
    void setMimeData(QMimeData *data) override;


private:
    QMap<QString, QByteArray> m_flavours;
};

#pragma once

#include "platform/clipboard.h"

// The desktop's CLIPBOARD selection through Qt (XFixes owner-change events
// on X11). The PRIMARY selection of mouse marking is never looked at.
class QtClipboard : public Clipboard
{
    Q_OBJECT
public:
    explicit QtClipboard(QObject *parent = nullptr);

    QStringList formats() const override;
    QByteArray data(const QString &format) const override;
    void setMimeData(QMimeData *data) override;
};

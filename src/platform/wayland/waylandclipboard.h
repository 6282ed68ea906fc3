#pragma once

#include "platform/clipboard.h"
#include "platform/wayland/datacontrol.h"

// The CLIPBOARD selection of a Wayland session, seen and set through the
// clipboard-manager protocols, so neither needs one of our windows to have
// the focus. A new selection is announced once its flavours are read (off the
// user-interface thread); our own writes are announced at once, as on X11,
// and not again when the compositor hands them back.
class WaylandClipboard : public Clipboard
{
    Q_OBJECT
public:
    explicit WaylandClipboard(QObject *parent = nullptr);

    // False when the compositor offers no clipboard-manager protocol; the
    // clipboard then sees nothing and sets nothing.
    bool start();
    QString protocol() const { return m_control.protocol(); }

    QStringList formats() const override;
    QByteArray data(const QString &format) const override;
    void setMimeData(QMimeData *data) override;

    // The flavours a QMimeData holds, as bytes: a picture becomes PNG.
    static QHash<QString, QByteArray> flavoursOf(const QMimeData &data);

signals:
    void compositorGone();

private:
    void take(const DataControl::Selection &selection);

    DataControl m_control;
    DataControl::Selection m_current;
};

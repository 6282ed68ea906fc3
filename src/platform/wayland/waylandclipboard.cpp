#include "platform/wayland/waylandclipboard.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>

#include <memory>

WaylandClipboard::WaylandClipboard(QObject *parent)
    : Clipboard(parent)
{
    connect(&m_control, &DataControl::selectionChanged, this, &WaylandClipboard::take);
    connect(&m_control, &DataControl::compositorGone, this, &WaylandClipboard::compositorGone);
}

bool WaylandClipboard::start()
{
    return m_control.start();
}

QStringList WaylandClipboard::formats() const
{
    return m_current.formats;
}

QByteArray WaylandClipboard::data(const QString &format) const
{
    return m_current.data.value(format);
}

void WaylandClipboard::take(const DataControl::Selection &selection)
{
    m_current = selection;
    emit changed();
}

QHash<QString, QByteArray> WaylandClipboard::flavoursOf(const QMimeData &data)
{
    QHash<QString, QByteArray> flavours;
    for (const QString &format : data.formats()) {
        if (format == QLatin1String("application/x-qt-image"))
            continue;
        flavours.insert(format, data.data(format));
    }
    if (data.hasImage()) {
        const QImage image = qvariant_cast<QImage>(data.imageData());
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.isNull() && image.save(&buffer, "PNG"))
            flavours.insert(QStringLiteral("image/png"), png);
    }
    return flavours;
}

void WaylandClipboard::setMimeData(QMimeData *data)
{
    const std::unique_ptr<QMimeData> owned(data);
    if (!data)
        return;
    DataControl::Selection mine;
    mine.data = flavoursOf(*data);
    mine.formats = mine.data.keys();
    m_control.setSelection(mine.data);
    // Our own write is announced now, as the X11 clipboard does: the writer
    // disarmed capture for exactly this notification.
    take(mine);
}

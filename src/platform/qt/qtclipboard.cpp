#include "platform/qt/qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

QtClipboard::QtClipboard(QObject *parent)
    : Clipboard(parent)
{
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            emit changed();
    });
}

QStringList QtClipboard::formats() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data)
        return {};
    QStringList result = data->formats();
    result.removeAll(QStringLiteral("TARGETS"));
    return result;
}

QByteArray QtClipboard::data(const QString &format) const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data ? data->data(format) : QByteArray();
}

void QtClipboard::setMimeData(QMimeData *data)
{
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

#include "doubles/fakeclipboard.h"

#include <QMimeData>

void FakeClipboard::setMimeData(QMimeData *data)
{
    QMap<QString, QByteArray> flavours;
    for (const QString &format : data->formats())
        flavours.insert(format, data->data(format));
    delete data;
    offer(flavours);
}

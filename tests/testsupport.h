#pragma once

// Small helpers shared by the tests.

#include "store/item.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace TestSupport {

inline const QString kStamp = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline Item textItem(const QString &text)
{
    Item item;
    item.alias = text;
    item.text = text;
    item.created = kStamp;
    return item;
}

} // namespace TestSupport

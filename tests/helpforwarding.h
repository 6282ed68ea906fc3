#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

// Where a forwarding page of the help sends the browser; empty when the file
// is no such page.
inline QUrl helpForwardingTarget(const QUrl &page)
{
    QFile file(page.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString html = QString::fromUtf8(file.readAll());
    const auto match = QRegularExpression(QStringLiteral("http-equiv=\"refresh\" content=\"0; url=([^\"]*)\"")).match(html);
    if (!match.hasMatch())
        return {};
    QString target = match.captured(1);
    target.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return QUrl(target);
}

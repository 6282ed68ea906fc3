#include "app/helpaddress.h"

#include "common/programerror.h"
#include "common/safefile.h"

#include <QDir>
#include <QFile>

namespace {

// Topics become file names: anything but letters, digits and '_' is replaced.
QString linkFileName(const QString &topic)
{
    QString name;
    name.reserve(topic.size());
    for (const QChar c : topic)
        name += (c.isLetterOrNumber() && c.unicode() < 128) ? c : QLatin1Char('_');
    return name + QStringLiteral(".html");
}

QByteArray forwardingPage(const QUrl &target)
{
    const QString escaped = target.toString(QUrl::FullyEncoded).toHtmlEscaped();
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                          "<meta http-equiv=\"refresh\" content=\"0; url=%1\">"
                          "<title>Scrapkeeper Help</title></head>\n"
                          "<body><p><a href=\"%1\">Scrapkeeper Help</a></p></body></html>\n")
        .arg(escaped)
        .toUtf8();
}

} // namespace

QUrl HelpAddress::forTopic(const QString &helpPage, const QString &topic, const QString &linkFolder)
{
    QUrl page = QUrl::fromLocalFile(helpPage);
    if (topic.isEmpty())
        return page;
    page.setFragment(topic);
    if (linkFolder.isEmpty() || !QDir().mkpath(linkFolder))
        return page;
    QFile::setPermissions(linkFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString link = QDir(linkFolder).filePath(linkFileName(topic));
    try {
        SafeFile::writeBytes(link, forwardingPage(page));
    } catch (const ProgramError &) {
        return page;
    }
    return QUrl::fromLocalFile(link);
}

#include "safefile.h"

#include "programerror.h"

#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

namespace SafeFile {

namespace {

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw ProgramError(QStringLiteral("Cannot write \"%1\": %2").arg(path, why));
}

template<typename Fill>
void write(const QString &path, Fill fill)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(path, file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    fill(file);
    if (!file.commit())
        fail(path, file.errorString());
}

} // namespace

void writeBytes(const QString &path, const QByteArray &bytes)
{
    write(path, [&](QSaveFile &file) {
        if (file.write(bytes) != bytes.size()) {
            const QString why = file.errorString();
            file.cancelWriting();
            fail(path, why);
        }
    });
}

void writeImage(const QString &path, const QImage &image, const char *format)
{
    write(path, [&](QSaveFile &file) {
        QImageWriter writer(&file, format);
        if (!writer.write(image)) {
            file.cancelWriting();
            fail(path, writer.errorString());
        }
    });
}

void copy(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw ProgramError(QStringLiteral("Cannot read \"%1\": %2").arg(from, source.errorString()));
    writeBytes(to, source.readAll());
}

} // namespace SafeFile

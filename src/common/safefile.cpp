#include "common/safefile.h"

#include "common/programerror.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace SafeFile {

namespace {

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw ProgramError(QStringLiteral("Cannot write \"%1\": %2").arg(path, why));
}

template<typename Fill>
void write(const QString &path, Fill fill)
{
    // A symbolic link keeps pointing where it did: its target is replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && !info.canonicalFilePath().isEmpty() ? info.canonicalFilePath() : path;
    QTemporaryFile file(target + kTemporaryMark + QStringLiteral("XXXXXX"));
    if (!file.open())
        fail(path, file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    fill(file);
    if (!file.flush() || ::fsync(file.handle()) != 0)
        fail(path, file.errorString().isEmpty() ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString());
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        fail(path, QString::fromLocal8Bit(std::strerror(errno)));
    file.setAutoRemove(false);
}

} // namespace

void writeBytes(const QString &path, const QByteArray &bytes)
{
    write(path, [&](QFile &file) {
        if (file.write(bytes) != bytes.size())
            fail(path, file.errorString());
    });
}

void writeImage(const QString &path, const QImage &image, const char *format)
{
    write(path, [&](QFile &file) {
        QImageWriter writer(&file, format);
        if (!writer.write(image))
            fail(path, writer.errorString());
    });
}

void copy(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw ProgramError(QStringLiteral("Cannot read \"%1\": %2").arg(from, source.errorString()));
    write(to, [&](QFile &file) {
        // The kernel copies from file to file: a large collection's backup
        // costs no pass through this process's memory.
        qint64 copied = 0;
        for (;;) {
            const ssize_t n = ::copy_file_range(source.handle(), nullptr, file.handle(), nullptr, 1 << 30, 0);
            if (n > 0) {
                copied += n;
                continue;
            }
            if (n == 0)
                return;
            if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
                break;  // not between these file systems: copy through memory below
            throw ProgramError(QStringLiteral("Cannot copy \"%1\": %2").arg(from, QString::fromLocal8Bit(std::strerror(errno))));
        }
        const QByteArray bytes = source.readAll();
        if (source.error() != QFileDevice::NoError)
            throw ProgramError(QStringLiteral("Cannot read \"%1\": %2").arg(from, source.errorString()));
        if (file.write(bytes) != bytes.size())
            fail(to, file.errorString());
    });
}

} // namespace SafeFile

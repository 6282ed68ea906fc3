#include "common/wholefile.h"

#include "common/programerror.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

WholeFile::WholeFile(const QString &path)
{
    // Read-only access is enough: a file the user may not change still reads.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ProgramError(QStringLiteral("Cannot open \"%1\": %2").arg(path, file.errorString()));
    const qint64 size = file.size();
    if (size <= 0) {
        // No size known ahead (a file of /proc, a pipe): read until the end.
        m_bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw ProgramError(QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
        return;
    }
    m_capacity = std::size_t(size);
    m_memory = ::mmap(nullptr, m_capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m_memory == MAP_FAILED) {
        m_memory = nullptr;
        throw ProgramError(QStringLiteral("Cannot read \"%1\": %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    ::madvise(m_memory, m_capacity, MADV_HUGEPAGE);  // a hint; without huge pages it only costs time

    // A file that shrinks meanwhile gives what it still has; one that grows, what it had.
    auto *at = static_cast<char *>(m_memory);
    std::size_t done = 0;
    while (done < m_capacity) {
        const ssize_t n = ::read(file.handle(), at + done, m_capacity - done);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            ::munmap(m_memory, m_capacity);
            m_memory = nullptr;
            throw ProgramError(QStringLiteral("Cannot read \"%1\": %2").arg(path, why));
        }
        done += std::size_t(n);
    }
    m_bytes = QByteArray::fromRawData(at, qsizetype(done));
}

WholeFile::~WholeFile()
{
    m_bytes = QByteArray();
    if (m_memory)
        ::munmap(m_memory, m_capacity);
}

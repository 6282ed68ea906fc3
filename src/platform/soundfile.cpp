#include "platform/soundfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SoundFile {

namespace {

constexpr qint64 kHeaderBytes = 12;

// Closes the descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool readFully(int fd, char *buffer, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer + done, std::size_t(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

} // namespace

bool playable(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    // Opened without waiting for a writer (a pipe) and without becoming a
    // controlling terminal (a device); what it is decides before any read.
    const QByteArray name = QFile::encodeName(path);
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    struct stat info{};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (info.st_size < kHeaderBytes || info.st_size > kMaxBytes)
        return false;
    char header[kHeaderBytes];
    if (!readFully(fd.get(), header, kHeaderBytes))
        return false;
    return std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0;
}

} // namespace SoundFile

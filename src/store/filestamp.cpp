#include "store/filestamp.h"

#include <QFile>

#include <sys/stat.h>

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = std::uint64_t(status.st_dev);
    stamp.inode = std::uint64_t(status.st_ino);
    stamp.size = std::int64_t(status.st_size);
    stamp.modifiedSeconds = std::int64_t(status.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = std::int64_t(status.st_mtim.tv_nsec);
    return stamp;
}

#pragma once

#include <QString>

#include <cstdint>

// What tells one state of a file on disk from another without reading it:
// the file itself (device and inode: a file replaced by a rename is another
// one), its size and the time of its last write to the nanosecond.
struct FileStamp
{
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    static FileStamp of(const QString &path);

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

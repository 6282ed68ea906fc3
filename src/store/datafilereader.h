#pragma once

#include "store/collection.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

// Something the reader met and reported without failing the whole load.
struct LoadProblem
{
    enum Kind { BadFlags, MissingImage, UnreadableImage };
    Kind kind;
    QString path;  // the side file concerned, for the image problems
};

struct ParseResult
{
    CategoryList categories;  // also what was read before a failure
    std::vector<LoadProblem> problems;
    bool failed = false;
    QString failure;  // why the whole load failed, for diagnosis
};

// Turns the text of a data file into categories and items. Never throws on
// any input; a damaged block fails the load at that point and keeps what
// came before it.
class DataFileReader
{
public:
    using Progress = std::function<void(int percent)>;

    DataFileReader(QString dataFilePath, qint64 fileSize);
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // `bytes` is the whole file as read.
    ParseResult parse(QByteArrayView bytes);

    // How many of a file's first bytes tell whether it is a data file.
    static constexpr qsizetype kHeadSize = 64 * 1024;
    // Whether a file starting with `head` (all of it when `wholeFile`) is a
    // data file, whole or damaged: its first category block begins as one
    // does, with a header line or with a name followed by its limit.
    // A picture, an archive or random bytes do not; an empty file does not.
    static bool startsLikeDataFile(QByteArrayView head, bool wholeFile);

private:
    QString m_dataFilePath;
    qint64 m_fileSize;
    Progress m_progress;
};


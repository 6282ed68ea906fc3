#pragma once

#include "store/collection.h"

#include <QSet>
#include <QString>

#include <functional>

// Writes a collection in the data file layout: new pictures go to side files
// first, then the data file is replaced in one step, then side files that
// nothing refers to any more are swept. What is written is fixed before any
// event may run, so a capture during the save changes the collection, not the
// save. Throws ProgramError on any write failure, leaving the previous data
// file whole.
class DataFileWriter
{
public:
    explicit DataFileWriter(QString dataFilePath);

    // Called after each new side file so the interface stays responsive.
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }
    // Whether side files no item uses may be swept and their names reused:
    // only when the collection in memory is all the data file held.
    void setSweep(bool sweep) { m_sweep = sweep; }
    // Side files to keep although no item uses them (those the backup names), by identity.
    void setKeep(QSet<QString> identities) { m_keep = std::move(identities); }

    void write(Collection &collection);

    // The bytes of the data file for a collection whose pictures are on disk.
    // Never anything the reader cannot take back: no NUL anywhere, no line
    // break inside a one-line field.
    static QByteArray serialize(const Collection &collection);

private:
    QString freeSideFileName(const QSet<QString> &taken) const;

    QString m_dataFilePath;
    std::function<void()> m_yield;
    bool m_sweep = true;
    QSet<QString> m_keep;
};

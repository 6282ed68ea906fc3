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
    // Removes what a killed write left behind: its temporary files, and the
    // side files that neither the collection, the kept ones nor the data
    // file on disk name (a save killed before its data file was replaced).
    // For a collection that holds all the data file does, as after a load.
    void removeUnused(const Collection &collection) const;

    // The bytes of the data file for a collection whose pictures are on disk.
    // Never anything the reader cannot take back: no NUL anywhere, no line
    // break inside a one-line field.
    static QByteArray serialize(const Collection &collection);

private:
    // Removes the temporary files and the side files no one names, noting the
    // names on disk in `taken`; returns the unused side files the data file
    // on disk still names.
    QStringList clearAway(const Collection &collection, QSet<QString> &taken) const;
    QString freeSideFileName(const QSet<QString> &taken) const;

    QString m_dataFilePath;
    std::function<void()> m_yield;
    bool m_sweep = true;
    QSet<QString> m_keep;
};

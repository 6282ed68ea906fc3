#pragma once

#include "store/collection.h"

#include <QSet>
#include <QString>

// Writes a collection in the data file layout: pictures already have their
// side files (see ItemPictures); when adopting, those of another data file are
// copied to side files of this one first. Then the data file is replaced in
// one step, then side files that nothing refers to any more are swept. No
// event runs during a write, so the collection cannot change under it.
// Throws ProgramError on any write failure, leaving the previous data file
// whole and the items as they were.
class DataFileWriter
{
public:
    explicit DataFileWriter(QString dataFilePath);

    // Whether side files no item uses may be swept and their names reused:
    // only when the collection in memory is all the data file held.
    void setSweep(bool sweep) { m_sweep = sweep; }
    // Side files to keep although no item uses them (those the backup names), by identity.
    void setKeep(QSet<QString> identities) { m_keep = std::move(identities); }

    // Side files written at or after this time (milliseconds since the
    // epoch) are kept although nothing names them: another program on the
    // same data file may have made them for items it has not saved yet.
    void setKeepWrittenSince(qint64 msecsSinceEpoch) { m_keepWrittenSince = msecsSinceEpoch; }

    // Whether every picture is copied into a new side file of this data file
    // (a save under another name: the old list's files stay the old list's).
    void setAdoptPictures(bool adopt) { m_adopt = adopt; }

    void write(Collection &collection);
    // Removes what a killed write left behind: its temporary files, and the
    // side files that neither the collection, the kept ones nor the data
    // file on disk name (a save killed before its data file was replaced).
    // For a collection that holds all the data file does, as after a load.
    void removeUnused(const Collection &collection) const;

    // The bytes of the data file for a collection.
    // Never anything the reader cannot take back: no NUL anywhere, no line
    // break inside a one-line field.
    static QByteArray serialize(const Collection &collection);

private:
    // Removes the temporary files and the side files no one names, noting the
    // names on disk in `taken`; returns the unused side files the data file
    // on disk still names.
    QStringList clearAway(const Collection &collection, QSet<QString> &taken) const;

    QString m_dataFilePath;
    bool m_adopt = false;
    bool m_sweep = true;
    QSet<QString> m_keep;
    qint64 m_keepWrittenSince = -1;
};

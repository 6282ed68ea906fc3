#pragma once

#include "collection.h"

#include <QSet>
#include <QString>

#include <functional>

// Writes a collection in the data file layout: new pictures go to side files
// first, then the data file is replaced in one step, then side files that no
// item uses any more are swept. Throws ProgramError on any write failure,
// leaving the previous data file whole.
class DataFileWriter
{
public:
    explicit DataFileWriter(QString dataFilePath);

    // Called after each new side file so the interface stays responsive.
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }

    void write(Collection &collection);

    // The bytes of the data file for a collection whose pictures are on disk.
    static QByteArray serialize(const Collection &collection);

private:
    void storeNewPicture(TItemRec &item);
    QString freeSideFileName() const;
    void sweepStaleSideFiles(const QSet<QString> &inUse) const;

    QString m_dataFilePath;
    std::function<void()> m_yield;
};

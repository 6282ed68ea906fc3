#pragma once

#include "store/collection.h"
#include "store/collectionmerge.h"
#include "store/datafilereader.h"
#include "store/filestamp.h"
#include "store/recentfiles.h"

#include <QSet>
#include <QString>

class MessageBoxService;

// What loading and saving ask of the window that shows the collection.
class DataFileHost
{
public:
    virtual ~DataFileHost() = default;
    virtual void showProgress(int percent) = 0;
    virtual void hideProgress() = 0;
    virtual void processEvents() = 0;
    virtual void refreshCaption() = 0;
    virtual void refreshCategoryCombo() = 0;
    virtual void selectFirstNode() = 0;
    virtual void moveOutOfSight() = 0;
    virtual bool readBackupSetting() = 0;
    // Whether another running program has the data file open as well: then
    // no side file is swept, since that program's new pictures may not be
    // named in the file yet.
    virtual bool sharedWithAnotherProgram(const QString &dataFile)
    {
        Q_UNUSED(dataFile);
        return false;
    }
    // The collection took in what another writer saved to its data file.
    virtual void collectionMerged() {}
};

// Loads and saves the current data file with the recovery the user relies
// on: the backup after a good load, the corrupt copy and the backup offer
// after a failed one, and a fresh collection when no file is usable. A file
// that is no data file at all is refused and nothing is written beside it.
// A save first looks whether the file on disk is still the one last read or
// written; when another writer has changed it, its changes are taken in
// (see CollectionMerge) rather than overwritten, and when it can no longer
// be read the collection is saved beside it under another name.
class DataFileManager
{
public:
    DataFileManager(Collection &collection, RecentFiles &recent, MessageBoxService &messages,
                    DataFileHost &host, QString programFolder);

    const QString &currentFile() const { return m_currentFile; }
    void setCurrentFile(const QString &path);
    QString defaultDataFile() const;
    QString exampleDataFile() const;

    void loadData();
    void saveData();

    // What became of a request to open another data file.
    enum class Switch { Opened, Missing, Kept };
    // Loads another data file in place of the current one. The collection in
    // memory and the current file are given up only for a file that loaded:
    // one that cannot be read throws, and one that holds no data or fails to
    // load (with no backup that loads) leaves both as they were.
    Switch switchTo(const QString &path);
    // Makes `path` the current file of an empty collection (a new group list).
    void startNew(const QString &path);
    // Saves the collection as `path`, which becomes the current file; when
    // the save fails the current file stays the one it was.
    void saveAs(const QString &path);

    // On a first run no data file is expected yet: it is made without a word.
    void setFirstRun(bool firstRun) { m_firstRun = firstRun; }
    // Whether the collection in memory is all the current file held, so
    // that a save may sweep the side files nothing refers to.
    bool wholeFileLoaded() const { return m_wholeFileLoaded; }

    static QString feedbackAddress();
    static QString corruptMessage(const QString &dataFileName);
    // Where a collection that cannot be put together with its changed data
    // file is saved instead: beside it, named so the user sees why.
    static QString keptApartPath(const QString &dataFile);

private:
    enum class Outcome { Done, TryBackup };
    Outcome loadOnce();
    ParseResult parse(const QString &path, const QByteArray &bytes);
    void adopt(ParseResult &&result);
    void adoptedWhole();
    void becomeCurrent(const QString &path);
    void startFreshCollection(bool keepCopy);
    void reportProblems(const ParseResult &result);
    bool keepCopy(const QString &from, const QString &to);
    void learnBackupReferences(bool backupJustWritten);
    bool isForeignFile(const QString &path);
    void remember(const FileStamp &stamp);
    void forgetKnownFile();
    bool changedOnDisk() const;
    bool maySweep();
    void takeInChangesOnDisk();
    void keepApart(const QString &why);

    Collection &m_collection;
    RecentFiles &m_recent;
    MessageBoxService &m_messages;
    DataFileHost &m_host;
    QString m_programFolder;
    QString m_currentFile;
    bool m_firstRun = false;
    bool m_wholeFileLoaded = true;
    bool m_adoptPictures = false;  // during a save under another name
    QSet<QString> m_backupReferences;  // side files the backup names, kept until it is replaced
    bool m_saving = false;
    bool m_saveAgain = false;
    // The data file as last read or written, and the collection it held then.
    QString m_knownFile;
    FileStamp m_knownStamp;
    CollectionMerge::Snapshot m_base;
};

#pragma once

#include "store/collection.h"
#include "store/datafilereader.h"
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
};

// Loads and saves the current data file with the recovery the user relies
// on: the backup after a good load, the corrupt copy and the backup offer
// after a failed one, and a fresh collection when no file is usable.
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
};

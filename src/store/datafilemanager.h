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
    void setCurrentFile(const QString &path) { m_currentFile = path; }
    QString defaultDataFile() const;
    QString exampleDataFile() const;

    void loadData();
    void saveData();

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
    void startFreshCollection(bool keepCopy);
    void reportProblems(const ParseResult &result);
    bool keepCopy(const QString &to);
    void learnBackupReferences(bool backupJustWritten);

    Collection &m_collection;
    RecentFiles &m_recent;
    MessageBoxService &m_messages;
    DataFileHost &m_host;
    QString m_programFolder;
    QString m_currentFile;
    bool m_firstRun = false;
    bool m_wholeFileLoaded = true;
    QSet<QString> m_backupReferences;  // side files the backup names, kept until it is replaced
    bool m_saving = false;
    bool m_saveAgain = false;
};

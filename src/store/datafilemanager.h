#pragma once

#include "collection.h"
#include "datafilereader.h"
#include "recentfiles.h"

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
    virtual void LoadCombo() = 0;
    virtual void selectFirstNode() = 0;
    virtual void moveOutOfSight() = 0;
    virtual bool ReadBackupSetting() = 0;
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

    void LoadData();
    void SaveData();

    static QString feedbackAddress();
    static QString corruptMessage(const QString &dataFileName);

private:
    enum class Outcome { Done, TryBackup };
    Outcome loadOnce();
    void startFreshCollection(bool keepCopy);
    void reportProblems(const ParseResult &result);

    Collection &m_collection;
    RecentFiles &m_recent;
    MessageBoxService &m_messages;
    DataFileHost &m_host;
    QString m_programFolder;
    QString m_currentFile;
};

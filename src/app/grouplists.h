#pragma once

#include "store/datafilemanager.h"

#include <QString>

class Collection;
class FileDialogs;
class MessageBoxService;
class Options;
class QWidget;
class RecentFiles;
class TreeEditor;

// What the group-list commands ask of the program around them.
class GroupListHost
{
public:
    virtual ~GroupListHost() = default;
    virtual QWidget *dialogParent() = 0;
    // Writes the collection to the current data file, as OK would.
    virtual void saveCollection() = 0;
    // Another data file is current; with `contentReplaced` the collection
    // in memory is another one too, and what shows it must follow.
    virtual void currentFileChanged(bool contentReplaced) = 0;
};

// The group lists the user keeps, each in a data file of its own: a new
// one, another one chosen in a dialog or among the recent ones, the
// collection saved under another name, the recent list emptied; and the
// question that keeps any of them from dropping unsaved changes unasked.
class GroupLists
{
public:
    GroupLists(Collection &collection, DataFileManager &dataFiles, RecentFiles &recent, Options &options,
               TreeEditor &treeEditor, MessageBoxService &messages, FileDialogs &fileDialogs, GroupListHost &host);

    // When the collection has unsaved changes, asks whether to save them
    // first. True to go on (saved when the user said so), false when the
    // user cancelled; true without a word when there is nothing to save.
    bool okToContinue();
    bool okToContinue(const QString &question);

    void createNew();
    void openChosen();
    // Opens the recent list's entry at `index`.
    void openRecent(int index);
    void clearRecent();
    void saveAs();

    // Opens `path` in place of the current group list; false when it stays.
    bool open(const QString &path);

    // The file a chosen data file name stands for: ".db" is appended unless
    // the name already ends in it, whatever its letter case.
    static QString withDataFileExtension(const QString &path);

private:
    DataFileManager::Switch switchTo(const QString &path);
    QString chooseFileToWrite(const QString &startPath);
    QString currentFolder() const;

    Collection &m_collection;
    DataFileManager &m_dataFiles;
    RecentFiles &m_recent;
    Options &m_options;
    TreeEditor &m_treeEditor;
    MessageBoxService &m_messages;
    FileDialogs &m_fileDialogs;
    GroupListHost &m_host;
};

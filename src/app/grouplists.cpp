#include "app/grouplists.h"

#include "common/messageboxservice.h"
#include "config/tree/treeeditor.h"
#include "platform/filedialogs.h"
#include "settings/options.h"
#include "store/collection.h"
#include "store/recentfiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kContinueQuestion =
    QStringLiteral("Contents of current group has changed, would you like to save now before continuing?");
const QString kOpenQuestion =
    QStringLiteral("Contents of current group has changed, would you like to save now before opening your data file?");
const QString kFilter = QStringLiteral("Scrapkeeper Database (*.db)");
const QString kNewFileName = QStringLiteral("new data file name.db");

} // namespace

GroupLists::GroupLists(Collection &collection, DataFileManager &dataFiles, RecentFiles &recent, Options &options,
                       TreeEditor &treeEditor, MessageBoxService &messages, FileDialogs &fileDialogs,
                       GroupListHost &host)
    : m_collection(collection)
    , m_dataFiles(dataFiles)
    , m_recent(recent)
    , m_options(options)
    , m_treeEditor(treeEditor)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_host(host)
{
}

bool GroupLists::okToContinue()
{
    return okToContinue(kContinueQuestion);
}

bool GroupLists::okToContinue(const QString &question)
{
    if (!m_collection.anyModified())
        return true;
    switch (m_messages.show(MessageBoxService::Icon::Question, QStringLiteral("Confirmation"), question,
                            MessageBoxService::Yes | MessageBoxService::No | MessageBoxService::Cancel)) {
    case MessageBoxService::Yes:
        // A save that fails throws, and nothing goes on without the changes.
        m_host.saveCollection();
        return true;
    case MessageBoxService::No:
        return true;
    default:
        return false;
    }
}

QString GroupLists::withDataFileExtension(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("db"), Qt::CaseInsensitive) == 0)
        return path;
    return path + QStringLiteral(".db");
}

QString GroupLists::currentFolder() const
{
    return QFileInfo(m_dataFiles.currentFile()).absolutePath();
}

QString GroupLists::chooseFileToWrite(const QString &startPath)
{
    const QString chosen = m_fileDialogs.saveFile(m_host.dialogParent(), QStringLiteral("Save As"), startPath, kFilter,
                                                  kFilter, QStringLiteral("db"));
    if (chosen.isEmpty())
        return {};
    const QString path = withDataFileExtension(chosen);
    // The dialog asked about the name as typed; the file the extension
    // names instead may hold another list.
    if (path != chosen && QFileInfo::exists(path)) {
        const auto answer = m_messages.show(
            MessageBoxService::Icon::Warning, QStringLiteral("Confirm Save As"),
            QFileInfo(path).fileName() + QStringLiteral(" already exists.\r\nDo you want to replace it?"),
            MessageBoxService::Yes | MessageBoxService::No);
        if (answer != MessageBoxService::Yes)
            return {};
    }
    return path;
}

void GroupLists::createNew()
{
    if (!okToContinue())
        return;
    const QString path = chooseFileToWrite(QDir(currentFolder()).filePath(kNewFileName));
    if (path.isEmpty())
        return;
    m_dataFiles.startNew(path);
    m_host.currentFileChanged(true);
    // The new list starts with one category the user names; the program
    // never stands without one, even if the dialog was closed.
    if (!m_treeEditor.addCategory(true))
        m_collection.appendCategory(QStringLiteral("Category1"));
    m_host.currentFileChanged(true);
    m_dataFiles.saveData();
}

DataFileManager::Switch GroupLists::switchTo(const QString &path)
{
    const DataFileManager::Switch result = m_dataFiles.switchTo(path);
    if (result == DataFileManager::Switch::Missing)
        m_messages.error(QStringLiteral("File not found"));
    else if (result == DataFileManager::Switch::Opened)
        m_host.currentFileChanged(true);
    return result;
}

bool GroupLists::open(const QString &path)
{
    return switchTo(path) == DataFileManager::Switch::Opened;
}

void GroupLists::openChosen()
{
    if (!okToContinue())
        return;
    const QString chosen =
        m_fileDialogs.openFile(m_host.dialogParent(), QStringLiteral("Open Data File"), currentFolder(), kFilter);
    if (chosen.isEmpty())
        return;
    const QString previous = m_dataFiles.currentFile();
    if (!open(chosen))
        return;
    // Whoever opens the example file is offered their own back later.
    const QString example = RecentFiles::normalized(m_dataFiles.exampleDataFile());
    if (RecentFiles::normalized(chosen) == example && RecentFiles::normalized(previous) != example)
        m_options.set(Option::PreviousDataFile, previous);
}

void GroupLists::openRecent(int index)
{
    if (index < 0 || index >= m_recent.paths().size())
        return;
    // Taken now: saving at the question reorders the list.
    const QString path = m_recent.paths().at(index);
    if (!okToContinue(kOpenQuestion))
        return;
    if (switchTo(path) == DataFileManager::Switch::Missing)
        m_recent.remove(path);
}

void GroupLists::clearRecent()
{
    m_recent.clear();
    m_recent.moveToTop(m_dataFiles.currentFile());
}

void GroupLists::saveAs()
{
    const QString path = chooseFileToWrite(m_dataFiles.currentFile());
    if (path.isEmpty())
        return;
    m_dataFiles.saveAs(path);
    m_host.currentFileChanged(false);
}

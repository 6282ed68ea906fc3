#include "store/datafilemanager.h"

#include "common/errorhandler.h"

#include "store/datafileformat.h"
#include "store/datafilereader.h"
#include "store/datafilewriter.h"
#include "store/deletionhistory.h"
#include "store/itempictures.h"
#include "common/programerror.h"
#include "common/wholefile.h"
#include "common/safefile.h"
#include "store/sidefiles.h"

#include "common/messageboxservice.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

using namespace DataFileFormat;

namespace {

const QString kBadFlags = QStringLiteral(
    "An error has occured while loading data.  Item where error occurred will be discarded.");
const QString kMissingImage = QStringLiteral(
    "Error loading a bitmap item, bitmap data file not found.  Please be sure that if you moved this database, "
    "you shipped ALL files with it (i.e. data.db, data.db.bXXX).");
const QString kUnreadableImage = QStringLiteral(
    "Error loading a bitmap item, its bitmap data file cannot be read as a picture.  The item and the file "
    "are kept as they are.");
const QString kBackupOffer = QStringLiteral(
    "Click OK to attempt to load the most recent backup file now (after loaded, it's recommended you click "
    "the \"Save As...\" button and save the data under a different file name)...");
const QString kNoBackup = QStringLiteral(
    "A backup file cannot be located.  It's recommended that you check the \"Create backup file...\" option "
    "in the \"Saving Data\" (General Options icon) to avoid this from happening again.");
const QString kNotFound = QStringLiteral(
    "Most recent database file has not been found.  The only way this could have happened is if you manually "
    "deleted the database file, or the program abnormally terminated.  Either way, your data has been lost.  "
    "If the program abnormally terminated, you should set up the auto-save options to avoid this from "
    "happening again.");

const QString kNoData = QStringLiteral(
    "\"%1\" holds no Scrapkeeper data, so it has not been opened.  The group list in use stays open.");
const QString kNotOpened = QStringLiteral(
    "\"%1\" has not been opened.  The group list in use stays open.");

const QString kNotDataFile = QStringLiteral(
    "\"%1\" is not a Scrapkeeper data file, so it has not been opened.  The group list in use stays open.");
const QString kNotDataFileAtStart = QStringLiteral(
    "\"%1\" is not a Scrapkeeper data file, so it has not been opened and nothing will be saved over it.  "
    "Open or create a group list on the List Setup page.");
const QString kKeptApart = QStringLiteral(
    "\"%1\" has been changed by another program since it was loaded, and %2, so your changes cannot be put "
    "together with it.  It is left as it is, and your group list has been saved as \"%3\".");

const QString kCopyFailed = QStringLiteral(
    "A copy of the data file could not be made:\r\n\r\n%1\r\n\r\nYour data is loaded and will be saved as usual.");

// Whether the file's first line (before any NUL) holds nothing but blanks:
// no bytes other than a blank decode to one, whichever the encoding.
bool firstLineBlank(const QByteArray &bytes)
{
    const QByteArrayView readable = DataFileFormat::readablePart(bytes);
    const qsizetype brk = readable.indexOf("\r\n");
    for (const char c : brk < 0 ? readable : readable.first(brk)) {
        if (c != ' ')
            return false;
    }
    return true;
}

} // namespace

DataFileManager::DataFileManager(Collection &collection, RecentFiles &recent, MessageBoxService &messages,
                                 DataFileHost &host, QString programFolder)
    : m_collection(collection)
    , m_recent(recent)
    , m_messages(messages)
    , m_host(host)
    , m_programFolder(std::move(programFolder))
{
}

QString DataFileManager::feedbackAddress()
{
    return ErrorHandler::feedbackAddress();
}

QString DataFileManager::corruptMessage(const QString &dataFileName)
{
    return QStringLiteral("An error occured while loading data.  A copy of the data file has been created and named "
                          "\"%1.corrupt\"  PLEASE e-mail this file to us at %2 so we can determine the problem.  "
                          "Thank you!")
        .arg(dataFileName, feedbackAddress());
}

QString DataFileManager::defaultDataFile() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("data.db"));
}

QString DataFileManager::exampleDataFile() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("skexdata.db"));
}

QString DataFileManager::keptApartPath(const QString &dataFile)
{
    const QFileInfo info(dataFile);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    const QString base = QStringLiteral("%1 (kept apart %2").arg(info.completeBaseName(), stamp);
    QString path = info.absoluteDir().filePath(base + QStringLiteral(").db"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = info.absoluteDir().filePath(base + QStringLiteral(" %1).db").arg(n));
    return path;
}

void DataFileManager::saveData()
{
    // A save asked for while one runs (from an event its host lets through)
    // follows it, so neither sees the collection change under it.
    if (m_saving) {
        m_saveAgain = true;
        return;
    }
    m_saving = true;
    const auto done = qScopeGuard([this] { m_saving = false; });
    const bool adoptPictures = m_adoptPictures;
    const auto adopted = qScopeGuard([this, adoptPictures] { m_adoptPictures = adoptPictures; });
    do {
        m_saveAgain = false;
        takeInChangesOnDisk();
        DataFileWriter writer(m_currentFile);
        writer.setAdoptPictures(m_adoptPictures);
        writer.setSweep(m_wholeFileLoaded && !m_host.sharedWithAnotherProgram(m_currentFile));
        writer.setKeep(m_backupReferences + ItemPictures::shared().heldIdentities());
        // Pictures newer than the file as last read or written may be
        // another program's, for items it has not saved yet; this
        // program's own unused ones go at its next load.
        if (m_knownFile == m_currentFile && m_knownStamp.exists)
            writer.setKeepWrittenSince(m_knownStamp.modifiedSeconds * 1000 + m_knownStamp.modifiedNanoseconds / 1000000);
        writer.write(m_collection);
        remember(FileStamp::of(m_currentFile));
    } while (m_saveAgain);
    m_host.refreshCaption();
    m_recent.moveToTop(m_currentFile);
}

void DataFileManager::remember(const FileStamp &stamp)
{
    m_knownFile = m_currentFile;
    m_knownStamp = stamp;
    m_base = CollectionMerge::Snapshot::of(m_collection.categories());
}

void DataFileManager::forgetKnownFile()
{
    m_knownFile.clear();
    m_knownStamp = {};
    m_base = {};
}

bool DataFileManager::changedOnDisk() const
{
    return m_knownFile == m_currentFile && m_knownStamp.exists && FileStamp::of(m_currentFile) != m_knownStamp;
}

bool DataFileManager::maySweep()
{
    // A file changed since it was read may name pictures the collection does not.
    return !changedOnDisk() && !m_host.sharedWithAnotherProgram(m_currentFile);
}

void DataFileManager::takeInChangesOnDisk()
{
    if (!changedOnDisk())
        return;
    const FileStamp stamp = FileStamp::of(m_currentFile);
    if (!stamp.exists)
        return;  // removed: the collection in memory is all there is
    if (isForeignFile(m_currentFile)) {
        keepApart(QStringLiteral("it is no longer a Scrapkeeper data file"));
        return;
    }
    ParseResult result;
    try {
        const WholeFile file(m_currentFile);
        if (firstLineBlank(file.bytes())) {
            keepApart(QStringLiteral("it no longer holds any data"));
            return;
        }
        result = parse(m_currentFile, file.bytes());
    } catch (const ProgramError &error) {
        m_host.hideProgress();
        keepApart(QStringLiteral("it cannot be read (%1)").arg(error.message()));
        return;
    }
    m_host.hideProgress();
    if (result.failed) {
        keepApart(QStringLiteral("it cannot be read whole"));
        return;
    }
    // The other writer's file was whole: it is the one worth a backup now.
    if (m_host.readBackupSetting())
        keepCopy(m_currentFile, backupPath(m_currentFile));
    learnBackupReferences(false);
    CollectionMerge::takeIn(m_collection, m_base, result.categories);
    reportProblems(result);
    // From here on the collection differs from that file by this program's changes only.
    m_knownStamp = stamp;
    m_base = CollectionMerge::Snapshot::of(result.categories);
    m_wholeFileLoaded = true;
    m_host.collectionMerged();
}

void DataFileManager::keepApart(const QString &why)
{
    const QString changed = m_currentFile;
    const QString aside = keptApartPath(changed);
    m_messages.error(kKeptApart.arg(changed, why, aside));
    // The pictures go with the collection: the files beside the changed one stay its own.
    m_adoptPictures = true;
    becomeCurrent(aside);
    forgetKnownFile();
}

bool DataFileManager::keepCopy(const QString &from, const QString &to)
{
    // A backup or corrupt copy that cannot be written (a full disk, a
    // read-only folder) is worth a word, not the start of the program.
    try {
        SafeFile::copy(from, to);
        return true;
    } catch (const ProgramError &error) {
        m_messages.error(kCopyFailed.arg(error.message()));
        return false;
    }
}

void DataFileManager::learnBackupReferences(bool backupJustWritten)
{
    m_backupReferences.clear();
    if (backupJustWritten) {
        // The backup is the file just loaded: it names what the items use.
        SideFiles::Identities identities;
        for (const auto &category : m_collection.categories()) {
            for (const auto &item : category->items) {
                if (item->kind == ItemKind::Image)
                    m_backupReferences.insert(identities.of(item->text));
            }
        }
        m_backupReferences.remove(QString());
    } else {
        m_backupReferences = SideFiles::referencedBy(backupPath(m_currentFile), m_currentFile);
    }
}

void DataFileManager::loadData()
{
    while (loadOnce() == Outcome::TryBackup) {
    }
}

ParseResult DataFileManager::parse(const QString &path, const QByteArray &bytes)
{
    m_host.showProgress(0);
    m_host.processEvents();
    DataFileReader reader(path, bytes.size());
    reader.setProgress([this](int percent) { m_host.showProgress(percent); });
    return reader.parse(bytes);
}

void DataFileManager::adopt(ParseResult &&result)
{
    m_collection.replaceAll(std::move(result.categories));
    reportProblems(result);
    if (m_collection.categoryCount() == 0)
        m_collection.appendCategory(QStringLiteral("Category1"));
    m_collection.setEditModified(false);
    m_host.hideProgress();
    m_host.selectFirstNode();
}

void DataFileManager::adoptedWhole()
{
    m_wholeFileLoaded = true;
    m_host.refreshCaption();
    m_host.refreshCategoryCombo();
    learnBackupReferences(m_host.readBackupSetting() && keepCopy(m_currentFile, backupPath(m_currentFile)));
    // A save killed before its data file was replaced left files no one
    // names; they go now rather than at the next save. Pictures held for
    // copies that are to come back stay.
    if (maySweep()) {
        DataFileWriter sweeper(m_currentFile);
        sweeper.setKeep(m_backupReferences + ItemPictures::shared().heldIdentities());
        sweeper.removeUnused(m_collection);
    }
    m_recent.moveToTop(m_currentFile);
}

bool DataFileManager::isForeignFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;  // the whole read says why
    const QByteArray head = file.read(DataFileReader::kHeadSize);
    const bool whole = file.atEnd();
    return !firstLineBlank(head) && !DataFileReader::startsLikeDataFile(head, whole);
}

DataFileManager::Outcome DataFileManager::loadOnce()
{
    forgetKnownFile();
    m_collection.clear();
    if (!QFileInfo(m_currentFile).isFile())
        setCurrentFile(defaultDataFile());
    if (!QFileInfo(m_currentFile).isFile()) {
        startFreshCollection(false);
        return Outcome::Done;
    }
    // Nothing is made of a file that is no data file, and nothing written beside it.
    if (isForeignFile(m_currentFile))
        throw ProgramError(kNotDataFileAtStart.arg(m_currentFile));

    const FileStamp stamp = FileStamp::of(m_currentFile);
    ParseResult result;
    {
        // The file's bytes go once parsed, before the backup is written.
        const WholeFile file(m_currentFile);
        if (firstLineBlank(file.bytes())) {
            startFreshCollection(!file.bytes().trimmed().isEmpty());
            return Outcome::Done;
        }
        result = parse(m_currentFile, file.bytes());
    }
    const bool failed = result.failed;
    adopt(std::move(result));
    remember(stamp);
    if (!failed) {
        adoptedWhole();
        return Outcome::Done;
    }

    // A file that did not load whole still names pictures the part in
    // memory does not: nothing may be swept on its behalf.
    m_wholeFileLoaded = false;
    learnBackupReferences(false);
    keepCopy(m_currentFile, corruptPath(m_currentFile));
    m_messages.error(corruptMessage(QFileInfo(m_currentFile).fileName()));
    const QString backup = backupPath(m_currentFile);
    if (QFileInfo(backup).isFile()) {
        m_messages.information(kBackupOffer);
        setCurrentFile(backup);
        return Outcome::TryBackup;
    }
    m_messages.error(kNoBackup);
    m_host.refreshCaption();
    m_host.refreshCategoryCombo();
    m_recent.moveToTop(m_currentFile);
    return Outcome::Done;
}

DataFileManager::Switch DataFileManager::switchTo(const QString &path)
{
    // Everything is read and checked before the collection in memory is
    // touched: a file that is no data file must not cost the list in use.
    QString candidate = path;
    for (;;) {
        if (!QFileInfo(candidate).isFile())
            return Switch::Missing;
        if (isForeignFile(candidate)) {
            m_messages.error(kNotDataFile.arg(candidate));
            return Switch::Kept;
        }
        const FileStamp stamp = FileStamp::of(candidate);
        ParseResult result;
        {
            const WholeFile file(candidate);
            if (firstLineBlank(file.bytes())) {
                m_messages.error(kNoData.arg(candidate));
                return Switch::Kept;
            }
            result = parse(candidate, file.bytes());
        }
        if (!result.failed) {
            setCurrentFile(candidate);
            adopt(std::move(result));
            // The flags described the collection now given up.
            m_collection.clearModified();
            remember(stamp);
            adoptedWhole();
            return Switch::Opened;
        }
        m_host.hideProgress();
        keepCopy(candidate, corruptPath(candidate));
        m_messages.error(corruptMessage(QFileInfo(candidate).fileName()));
        const QString backup = backupPath(candidate);
        if (!QFileInfo(backup).isFile()) {
            m_messages.error(kNoBackup);
            m_messages.error(kNotOpened.arg(path));
            return Switch::Kept;
        }
        m_messages.information(kBackupOffer);
        candidate = backup;
    }
}

void DataFileManager::becomeCurrent(const QString &path)
{
    const QString identity = SideFiles::identity(path);
    const bool sameFile = !identity.isEmpty() && identity == SideFiles::identity(m_currentFile);
    setCurrentFile(path);
    if (sameFile)
        return;
    // Another file: the side files its earlier content left may be swept,
    // except those its own backup names.
    m_wholeFileLoaded = true;
    learnBackupReferences(false);
}

void DataFileManager::startNew(const QString &path)
{
    becomeCurrent(path);
    // The user chose to replace whatever the file held.
    forgetKnownFile();
    // The new list replaces whatever the file held.
    m_wholeFileLoaded = true;
    m_collection.clear();
    m_host.refreshCaption();
}

void DataFileManager::setCurrentFile(const QString &path)
{
    // What was deleted from another data file is not put back into this one.
    if (path != m_currentFile)
        m_collection.deletions().clear();
    m_currentFile = path;
    // Pictures that come in from now on belong beside this file.
    ItemPictures::shared().setDataFile(path);
}

void DataFileManager::saveAs(const QString &path)
{
    const QString previousFile = m_currentFile;
    const bool previousWhole = m_wholeFileLoaded;
    const QSet<QString> previousKeep = m_backupReferences;
    const QString identity = SideFiles::identity(path);
    // Another file gets pictures of its own: a later save of the old one
    // may sweep the files it no longer needs.
    m_adoptPictures = identity.isEmpty() || identity != SideFiles::identity(m_currentFile);
    const auto adopted = qScopeGuard([this] { m_adoptPictures = false; });
    becomeCurrent(path);
    try {
        saveData();
    } catch (...) {
        setCurrentFile(previousFile);
        m_wholeFileLoaded = previousWhole;
        m_backupReferences = previousKeep;
        throw;
    }
}

void DataFileManager::reportProblems(const ParseResult &result)
{
    for (const LoadProblem &problem : result.problems) {
        switch (problem.kind) {
        case LoadProblem::BadFlags:
            m_messages.error(kBadFlags);
            break;
        case LoadProblem::MissingImage:
            m_messages.error(kMissingImage + QStringLiteral("\r\n\r\n") + problem.path + QStringLiteral(" not found."));
            break;
        case LoadProblem::UnreadableImage:
            m_messages.error(kUnreadableImage + QStringLiteral("\r\n\r\n") + problem.path);
            break;
        }
    }
}

void DataFileManager::startFreshCollection(bool keepCopy)
{
    // A file that has content but no usable first line is about to be
    // replaced: keep its bytes where the user can find them.
    if (keepCopy)
        this->keepCopy(m_currentFile, corruptPath(m_currentFile));
    // A file that had content is not known whole; a missing one leaves
    // behind only side files no collection names any more.
    m_wholeFileLoaded = !keepCopy;
    learnBackupReferences(false);
    if (!m_firstRun)
        m_messages.show(MessageBoxService::Icon::None, kApplicationTitle, kNotFound, MessageBoxService::Ok);
    CategoryList fresh;
    auto category = std::make_unique<CategoryNode>();
    category->name = QStringLiteral("Category1");
    fresh.push_back(std::move(category));
    m_collection.replaceAll(std::move(fresh));
    m_collection.setEditModified(false);
    saveData();
    m_host.refreshCategoryCombo();
    m_host.moveOutOfSight();
    m_host.refreshCaption();
}

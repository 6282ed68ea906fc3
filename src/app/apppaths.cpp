#include "app/apppaths.h"

#include "common/safefile.h"
#include "common/programerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef SK_SOURCE_SHARE_DIR
#define SK_SOURCE_SHARE_DIR ""
#endif

namespace {

QString findSharedFolder()
{
    // Installed beside the program's bin folder; started from a build tree,
    // the source tree's copy serves.
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                              + QStringLiteral("/../share/scrapkeeper"));
    if (QFileInfo::exists(installed + QStringLiteral("/skexdata.db")))
        return installed;
    return QStringLiteral(SK_SOURCE_SHARE_DIR);
}

} // namespace

AppPaths AppPaths::resolve()
{
    AppPaths paths;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    paths.programFolder = QDir(data).filePath(QStringLiteral("scrapkeeper"));
    QDir().mkpath(paths.programFolder);
    QFile::setPermissions(paths.programFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    paths.sharedFolder = findSharedFolder();

    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    paths.settingsFile = QDir(config).filePath(QStringLiteral("Halvorik/Scrapkeeper1.0.conf"));
    paths.autostartFile = QDir(config).filePath(QStringLiteral("autostart/scrapkeeper.desktop"));

    const QString runtime = runtimeFolder();
    paths.lockFile = lockFileIn(runtime);
    paths.commandSocket = commandSocketIn(runtime);
    paths.programFile = QCoreApplication::applicationFilePath();
    paths.helpLinkFolder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
                               .filePath(QStringLiteral("scrapkeeper/help"));
    return paths;
}

QString AppPaths::runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    // The data folder, which is the owner's alone.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("scrapkeeper"));
}

QString AppPaths::lockFileIn(const QString &runtimeFolder)
{
    return QDir(runtimeFolder).filePath(QStringLiteral("scrapkeeper.lock"));
}

QString AppPaths::commandSocketIn(const QString &runtimeFolder)
{
    return QDir(runtimeFolder).filePath(QStringLiteral("scrapkeeper.socket"));
}

QString AppPaths::recentFilesList() const
{
    return QDir(programFolder).filePath(QStringLiteral("dblist.txt"));
}

QString AppPaths::examplePage() const
{
    return QDir(sharedFolder).filePath(QStringLiteral("quickpaste.html"));
}

QString AppPaths::shippedExampleData() const
{
    return QDir(sharedFolder).filePath(QStringLiteral("skexdata.db"));
}

QString AppPaths::helpPage() const
{
    return QDir(sharedFolder).filePath(QStringLiteral("help/index.html"));
}

void AppPaths::provideExampleDataFile() const
{
    const QString own = QDir(programFolder).filePath(QStringLiteral("skexdata.db"));
    if (QFileInfo::exists(own) || !QFileInfo::exists(shippedExampleData()))
        return;
    try {
        SafeFile::copy(shippedExampleData(), own);
    } catch (const ProgramError &) {
        // Without the copy the example simply is not offered; nothing is lost.
    }
}

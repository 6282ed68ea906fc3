#pragma once

#include "app/apppaths.h"

#include <QDir>
#include <QTemporaryDir>

// The program's files under a scratch home of a test: data folder, shared
// files, settings, autostart entry and lock.
inline AppPaths scratchPaths(const QTemporaryDir &home)
{
    AppPaths p;
    p.programFolder = home.filePath(QStringLiteral("data"));
    p.sharedFolder = home.filePath(QStringLiteral("share"));
    p.settingsFile = home.filePath(QStringLiteral("config/Halvorik/Scrapkeeper1.0.conf"));
    p.autostartFile = home.filePath(QStringLiteral("config/autostart/scrapkeeper.desktop"));
    p.lockFile = home.filePath(QStringLiteral("lock"));
    p.programFile = QStringLiteral("/usr/bin/scrapkeeper");
    p.helpLinkFolder = home.filePath(QStringLiteral("cache/help"));
    return p;
}

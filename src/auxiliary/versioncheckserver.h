#pragma once

#include <QString>
#include <QUrl>

#include "auxiliary/versionquery.h"

// Where the new-version check asks, and the home page it offers. The built-in
// values are chosen when the program is built (SK_VERSION_CHECK_HOST,
// SK_VERSION_CHECK_PORT, SK_HOME_PAGE); tests point the check elsewhere.
struct VersionCheckServer
{
    QString host;
    quint16 port = 80;
    QUrl homePage;
    int timeLimit = VersionQuery::kDefaultTimeLimit;  // milliseconds
    qint64 sizeLimit = VersionQuery::kDefaultSizeLimit;

    static VersionCheckServer builtIn();
};

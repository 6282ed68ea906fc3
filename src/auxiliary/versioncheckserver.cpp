#include "auxiliary/versioncheckserver.h"

#ifndef SK_VERSION_CHECK_HOST
#define SK_VERSION_CHECK_HOST "www.scrapkeeper.example"
#endif
#ifndef SK_VERSION_CHECK_PORT
#define SK_VERSION_CHECK_PORT 80
#endif
#ifndef SK_HOME_PAGE
#define SK_HOME_PAGE "http://www.scrapkeeper.example/"
#endif

VersionCheckServer VersionCheckServer::builtIn()
{
    constexpr long port = SK_VERSION_CHECK_PORT;
    static_assert(port > 0 && port <= 65535, "SK_VERSION_CHECK_PORT must be a TCP port");
    VersionCheckServer server;
    server.host = QStringLiteral(SK_VERSION_CHECK_HOST);
    server.port = quint16(port);
    server.homePage = QUrl(QStringLiteral(SK_HOME_PAGE));
    return server;
}

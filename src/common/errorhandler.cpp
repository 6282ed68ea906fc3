#include "common/errorhandler.h"

#include "common/messageboxservice.h"
#include "common/programerror.h"

#include <QObject>

#include <exception>

namespace {
MessageBoxService *g_messages = nullptr;
}

void ErrorHandler::install(MessageBoxService *messages)
{
    g_messages = messages;
}

QString ErrorHandler::componentName(const QObject *source)
{
    if (!source)
        return {};
    return source->objectName().isEmpty() ? QString::fromLatin1(source->metaObject()->className())
                                          : source->objectName();
}

QString ErrorHandler::text(const QString &componentName, const QString &message)
{
    const QString origin = componentName.isEmpty() ? QStringLiteral("(not component) ")
                                                   : QStringLiteral("(%1) ").arg(componentName);
    return QStringLiteral("The following error has occured: \r\n\r\n") + origin + message
           + QStringLiteral("\r\n\r\nIt is most likely not serious, but you may want to shut down Scrapkeeper and "
                            "restart it now.  If you are receiving the error frequently or just want to report it, "
                            "please e-mail us: ")
           + feedbackAddress()
           + QStringLiteral(".  Please include a description of the error and of what happened.");
}

void ErrorHandler::report(const QObject *source, const QString &message)
{
    if (g_messages)
        g_messages->error(text(componentName(source), message));
}

void ErrorHandler::guard(const QObject *source, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const ProgramError &error) {
        report(source, error.message());
    } catch (const std::exception &error) {
        report(source, QString::fromLocal8Bit(error.what()));
    }
}

QString ErrorHandler::feedbackAddress()
{
    return QStringLiteral("feedback@scrapkeeper.example");
}

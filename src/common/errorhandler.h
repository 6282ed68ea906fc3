#pragma once

#include <QString>

#include <functional>

class MessageBoxService;
class QObject;

// The one place where errors that escape a handler are shown; the program
// then goes on.
class ErrorHandler
{
public:
    static void install(MessageBoxService *messages);

    static QString text(const QString &componentName, const QString &message);
    static void report(const QObject *source, const QString &message);

    // Runs a handler and shows what it throws, naming `source`.
    static void guard(const QObject *source, const std::function<void()> &handler);

    static QString componentName(const QObject *source);

    // Where users send what went wrong.
    static QString feedbackAddress();
};

#pragma once

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>

// What every fuzz target needs: a display-free application for the text
// document and image code, and a failure libFuzzer keeps the input of.
namespace FuzzSupport {

inline void startApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

// Prints what differed and aborts, so libFuzzer saves the input as a crash.
[[noreturn]] inline void fail(const char *what, const QString &expected, const QString &actual)
{
    std::fprintf(stderr, "%s\n  expected: %s\n  actual:   %s\n", what,
                 expected.toUtf8().toPercentEncoding(" ").constData(),
                 actual.toUtf8().toPercentEncoding(" ").constData());
    std::abort();
}

} // namespace FuzzSupport

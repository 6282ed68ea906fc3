#include "platform/sessionplatform.h"

#include <QByteArray>

#include <cstring>

namespace SessionPlatform {

namespace {

const QString kOption = QStringLiteral("--platform");

// The value of a --platform option, or a null string when none is given;
// the last one counts.
QString forcedValue(const QStringList &arguments)
{
    QString value;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == kOption) {
            value = i + 1 < arguments.size() ? arguments[i + 1] : QStringLiteral("");
            ++i;
        } else if (argument.startsWith(kOption + QLatin1Char('='))) {
            value = argument.mid(kOption.size() + 1);
        }
    }
    return value;
}

bool isWaylandPlugin(const QString &plugin)
{
    return plugin.startsWith(QLatin1String("wayland"));
}

} // namespace

Choice choose(const QStringList &arguments, const Environment &environment)
{
    Choice choice;
    const QString forced = forcedValue(arguments);
    if (!forced.isNull()) {
        if (forced == QLatin1String("wayland")) {
            choice.kind = Kind::Wayland;
            choice.qtPlatform = QStringLiteral("wayland");
            choice.why = QStringLiteral("Wayland, as --platform asks");
            return choice;
        }
        if (forced == QLatin1String("x11")) {
            choice.qtPlatform = QStringLiteral("xcb");
            choice.why = QStringLiteral("X11, as --platform asks");
            return choice;
        }
        choice.error = QStringLiteral("Unknown --platform \"%1\": use x11 or wayland.").arg(forced);
    }
    if (!environment.qtPlatform.isEmpty()) {
        // The first of a fallback list ("wayland;xcb") is what Qt tries first.
        choice.qtPlatform = environment.qtPlatform;
        const QString first = environment.qtPlatform.section(QLatin1Char(';'), 0, 0);
        choice.kind = isWaylandPlugin(first) ? Kind::Wayland : Kind::X11;
        choice.why = QStringLiteral("%1, as QT_QPA_PLATFORM=%2 asks")
                         .arg(choice.kind == Kind::Wayland ? QStringLiteral("Wayland") : QStringLiteral("X11"),
                              environment.qtPlatform);
        return choice;
    }
    if (!environment.waylandDisplay.isEmpty()) {
        choice.kind = Kind::Wayland;
        choice.qtPlatform = QStringLiteral("wayland");
        choice.why = QStringLiteral("Wayland, the session's (WAYLAND_DISPLAY=%1)").arg(environment.waylandDisplay);
        return choice;
    }
    choice.qtPlatform = QStringLiteral("xcb");
    choice.why = QStringLiteral("X11, the session's");
    return choice;
}

Choice applyAtStart(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Choice choice = choose(arguments, {qEnvironmentVariable("QT_QPA_PLATFORM"),
                                             qEnvironmentVariable("WAYLAND_DISPLAY")});
    // Drop every --platform option; keep the rest in order.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--platform") == 0) {
            ++i;
            continue;
        }
        if (std::strncmp(argv[i], "--platform=", 11) == 0)
            continue;
        argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    qputenv("QT_QPA_PLATFORM", choice.qtPlatform.toLocal8Bit());
    return choice;
}

} // namespace SessionPlatform

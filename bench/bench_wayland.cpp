// On a Wayland session (tools/with-wayland): how long a copy made elsewhere
// takes to be read through the clipboard-manager protocol, against wl-paste
// reading the same selection; and how fast the virtual keyboard types into a
// GTK entry, against wtype typing the same text.
#include "platform/wayland/waylandclipboard.h"
#include "platform/wayland/waylanddesktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return false;
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// Waits until the entry window of zenity is the one in front.
bool entryInFront(WaylandDesktop &desktop, ForeignFocus &focus)
{
    for (int i = 0; i < 100; ++i) {
        QTest::qWait(100);
        focus = desktop.foreignFocus();
        if (focus.window && desktop.windowClass(focus.window).value(0) == QLatin1String("zenity"))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    WaylandClipboard clipboard;
    if (!clipboard.start()) {
        std::printf("no clipboard-manager protocol on this compositor\n");
        return 1;
    }
    constexpr int kRounds = 20;
    std::vector<double> ours;
    std::vector<double> theirs;
    QSignalSpy changed(&clipboard, &Clipboard::changed);
    for (int round = 0; round < kRounds; ++round) {
        const QByteArray text = "bench copy " + QByteArray::number(round) + QByteArray(4096, 'x');
        changed.clear();
        QElapsedTimer clock;
        clock.start();
        run(QStringLiteral("wl-copy"), {QStringLiteral("--type"), QStringLiteral("text/plain")}, text);
        const qint64 copied = clock.nsecsElapsed();
        while (clipboard.data(QStringLiteral("text/plain")) != text && clock.elapsed() < 10000)
            changed.wait(5);
        ours.push_back((clock.nsecsElapsed() - copied) / 1e6);
        clock.restart();
        run(QStringLiteral("wl-paste"), {QStringLiteral("--no-newline"), QStringLiteral("--type"),
                                          QStringLiteral("text/plain")});
        theirs.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("capture read after wl-copy returns: %.2f ms (median of %d)\n", median(ours), kRounds);
    std::printf("wl-paste reading the same selection: %.2f ms\n", median(theirs));

    WaylandDesktop desktop;
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog, Ünïcödé ✓ 日本. ").repeated(4);
    double oursPerSecond = 0;
    double wtypePerSecond = 0;
    for (int pass = 0; pass < 2; ++pass) {
        QProcess entry;
        entry.start(QStringLiteral("zenity"), {QStringLiteral("--entry"), QStringLiteral("--title"),
                                               QStringLiteral("Typing bench")});
        ForeignFocus focus;
        if (!entry.waitForStarted() || !entryInFront(desktop, focus)) {
            std::printf("no zenity entry came to the front\n");
            return 1;
        }
        QElapsedTimer clock;
        clock.start();
        if (pass == 0) {
            desktop.prepareTyping(text);
            for (const char32_t c : text.toUcs4())
                desktop.typeCharacter(c);
        } else {
            run(QStringLiteral("wtype"), {text});
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        (pass == 0 ? oursPerSecond : wtypePerSecond) = text.toUcs4().size() / seconds;
        entry.kill();
        entry.waitForFinished();
    }
    std::printf("typing through the virtual keyboard: %.0f characters/s\n", oursPerSecond);
    std::printf("wtype typing the same text: %.0f characters/s\n", wtypePerSecond);
    return 0;
}

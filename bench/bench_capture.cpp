// Capture latency on a real X server: from another process setting the
// clipboard (xclip) to the item being in the model, beside the time
// `xclip -o` takes to read the same content back.
// Run under tools/with-xserver. Usage: bench_capture [text rounds] [rtf rounds]

#include "benchstats.h"

#include "capture/clipboardmonitor.h"
#include "platform/qt/qtclipboard.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class Host : public CaptureHost
{
public:
    QString currentCategoryName() const override { return QStringLiteral("Bench"); }
    bool applicationMinimised() const override { return true; }
    void playCaptureSound() override {}
};


} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int textRounds = argc > 1 ? atoi(argv[1]) : 200;
    const int rtfRounds = argc > 2 ? atoi(argv[2]) : 30;

    Collection collection;
    collection.setCurrentCategory(collection.appendCategory(QStringLiteral("Bench")));
    collection.refreshCurrentItems();
    Options options;
    options.set(Option::PreventDuplicates, false);
    QtClipboard clipboard;
    Host host;
    ClipboardMonitor monitor(collection, options, clipboard, host);
    monitor.join();

    QTemporaryDir dir;
    const QString rtfFile = dir.filePath(QStringLiteral("doc.rtf"));
    {
        QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}\\pard ";
        int n = 0;
        while (rtf.size() < 1000000)
            rtf += "Line " + QByteArray::number(n++) + " {\\b bold} {\\cf1 red} caf\\'e9 \\u8364? text\\par\n";
        rtf += "}";
        QFile f(rtfFile);
        f.open(QIODevice::WriteOnly);
        f.write(rtf);
    }

    auto runCase = [&](const char *label, int rounds, const QStringList &writeArgs, const QStringList &readArgs,
                       const std::function<QByteArray(int)> &input) {
        std::vector<double> capture, read;
        for (int round = 0; round < rounds; ++round) {
            QEventLoop loop;
            QElapsedTimer timer;
            bool captured = false;
            auto connection = QObject::connect(&monitor, &ClipboardMonitor::itemCaptured, &loop, [&] {
                captured = true;
                loop.quit();
            });
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            QProcess writer;
            writer.setStandardOutputFile(QProcess::nullDevice());
            writer.setStandardErrorFile(QProcess::nullDevice());
            timer.start();
            writer.start(QStringLiteral("xclip"), writeArgs);
            writer.write(input(round));
            writer.closeWriteChannel();
            loop.exec();
            QObject::disconnect(connection);
            if (!captured) {
                std::fprintf(stderr, "%s round %d: not captured\n", label, round);
                continue;
            }
            capture.push_back(double(timer.nsecsElapsed()) / 1e6);
            writer.waitForFinished();

            QProcess reader;
            timer.restart();
            reader.start(QStringLiteral("xclip"), readArgs);
            reader.waitForFinished();
            const qsizetype got = reader.readAllStandardOutput().size();
            read.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (got == 0)
                std::fprintf(stderr, "%s round %d: xclip -o read nothing\n", label, round);
        }
        if (capture.empty() || read.empty())
            return;
        const double cm = percentile(capture, 50), c90 = percentile(capture, 90);
        const double rm = percentile(read, 50), r90 = percentile(read, 90);
        std::printf("%-14s %4zu rounds  capture median %7.2f ms (p90 %7.2f)  xclip -o median %7.2f ms (p90 %7.2f)  "
                    "ratio %.2f\n",
                    label, capture.size(), cm, c90, rm, r90, cm / rm);
    };

    runCase("text", textRounds, {"-selection", "clipboard", "-i"}, {"-selection", "clipboard", "-o"},
            [](int round) { return QByteArray("snippet number ") + QByteArray::number(round) + " for the bench"; });
    QByteArray rtfBytes;
    {
        QFile f(rtfFile);
        f.open(QIODevice::ReadOnly);
        rtfBytes = f.readAll();
    }
    runCase("rtf 1 MB", rtfRounds, {"-selection", "clipboard", "-t", "text/rtf", "-i"},
            {"-selection", "clipboard", "-t", "text/rtf", "-o"}, [&](int round) {
                QByteArray b = rtfBytes;
                b.insert(b.size() - 1, QByteArray::number(round));
                return b;
            });
    return 0;
}

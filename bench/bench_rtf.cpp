// Throughput of reading and writing a 1 MB RTF document of mixed formatting,
// beside the time to merely scan the same bytes once. Reading is timed into a
// document and, as capture and aliases do, to plain text.
// Usage: bench_rtf [megabytes] [rounds]

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextDocument>

#include "benchstats.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString makeDocument(qsizetype bytes)
{
    QRandomGenerator rng(3);
    static const char *const words[] = {"snippet", "paste", "clipboard", "caf\\'e9", "Gr\\u252?\\u223?e", "form",
                                        "address", "\\u26085?\\u26412?", "hotkey", "list", "category", "item"};
    static const char *const formats[] = {"\\b ", "\\b0 ", "\\i ", "\\i0 ", "\\ul ", "\\ulnone ", "\\cf1 ",
                                          "\\cf2 ", "\\cf0 ", "\\fs28 ", "\\fs20 ", "\\f1 ", "\\f0 ", "\\strike ",
                                          "\\strike0 ", "\\highlight3 ", "\\highlight0 "};
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman "
                                 "Times New Roman;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
                                 "\\red255\\green255\\blue0;}\\viewkind4\\uc1\\pard ");
    while (out.size() < bytes) {
        const int r = int(rng.bounded(100));
        if (r < 8)
            out += QLatin1String(formats[rng.bounded(int(std::size(formats)))]);
        else if (r < 10)
            out += QLatin1String(rng.bounded(2) ? "\\par\r\n\\pard\\qc " : "\\par\r\n\\pard\\li360 ");
        else if (r < 11)
            out += QLatin1String("\\tab ");
        else {
            out += QLatin1String(words[rng.bounded(int(std::size(words)))]);
            out += QLatin1Char(' ');
        }
    }
    out += QLatin1String("\\par}");
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const double megabytes = argc > 1 ? atof(argv[1]) : 1.0;
    const int rounds = argc > 2 ? atoi(argv[2]) : 7;
    const QString source = makeDocument(qsizetype(megabytes * 1e6));
    const double mb = double(source.size()) / 1e6;

    std::vector<double> scan, read, readPlain, write;
    qsizetype written = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        qsizetype controls = 0;
        for (const QChar c : source)
            controls += c == QLatin1Char('\\') || c == QLatin1Char('{');
        scan.push_back(double(t.nsecsElapsed()) / 1e6);
        if (controls == 0)
            return 1;

        QTextDocument doc;
        t.restart();
        RtfReader::read(source, &doc);
        read.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        written = RtfWriter::write(doc).size();
        write.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    // A loop of its own, so the rounds above run as they always have.
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        if (RtfReader::toPlainText(source).isEmpty())
            return 1;
        readPlain.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const double s = percentile(scan, 50), r = percentile(read, 50), p = percentile(readPlain, 50),
                 w = percentile(write, 50);
    std::printf("document %.2f MB, %d rounds (medians)\n", mb, rounds);
    std::printf("scan once:  %8.2f ms  %8.1f MB/s\n", s, mb / (s / 1000));
    std::printf("read:       %8.2f ms  %8.1f MB/s\n", r, mb / (r / 1000));
    std::printf("read plain: %8.2f ms  %8.1f MB/s\n", p, mb / (p / 1000));
    std::printf("write:      %8.2f ms  %8.1f MB/s (%.2f MB written)\n", w, mb / (w / 1000), double(written) / 1e6);
    return 0;
}

// Times loading and saving a large collection against a baseline that only
// reads the same file, splits it at CR LF and writes the bytes back.
// Usage: bench_datafile [items] [rounds]

#include "store/collection.h"
#include "store/datafileformat.h"
#include "store/datafilereader.h"
#include "store/datafilewriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "benchstats.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString makeText(QRandomGenerator &rng)
{
    static const QString words = QStringLiteral(
        "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor incididunt ut labore et "
        "dolore magna aliqua Grüße naïve café ");
    // Mixed lengths averaging about 250 characters; some several lines, some
    // ending in a line break.
    const int length = int(rng.bounded(20)) < 18 ? 20 + int(rng.bounded(300)) : 600 + int(rng.bounded(800));
    QString text;
    text.reserve(length + 8);
    while (text.size() < length) {
        const int start = int(rng.bounded(int(words.size()) - 12));
        text += QStringView(words).mid(start, 4 + int(rng.bounded(8)));
        if (rng.bounded(25) == 0)
            text += QStringLiteral("\r\n");
    }
    if (rng.bounded(5) == 0)
        text += QStringLiteral("\r\n");
    return text;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int items = argc > 1 ? atoi(argv[1]) : 100000;
    const int rounds = argc > 2 ? atoi(argv[2]) : 5;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db"));
    const QString copy = dir.filePath(QStringLiteral("copy.db"));
    {
        Collection c;
        QRandomGenerator rng(42);
        CategoryNode *cat = nullptr;
        for (int i = 0; i < items; ++i) {
            if (i % 1000 == 0)
                cat = c.appendCategory(QStringLiteral("Category %1").arg(i / 1000));
            auto item = std::make_unique<Item>();
            item->text = makeText(rng);
            item->alias = item->text.left(40).simplified();
            item->created = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");
            item->category = cat->name;
            cat->items.push_back(std::move(item));
        }
        DataFileWriter(path).write(c);
    }
    const qint64 size = QFile(path).size();

    std::vector<double> baseline, load, save;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        {
            QFile in(path);
            in.open(QIODevice::ReadOnly);
            const QByteArray bytes = in.readAll();
            std::vector<QByteArrayView> lines;
            qsizetype start = 0;
            for (qsizetype brk; (brk = bytes.indexOf("\r\n", start)) >= 0; start = brk + 2)
                lines.emplace_back(bytes.constData() + start, brk - start);
            QByteArray out;
            out.reserve(bytes.size());
            for (const QByteArrayView line : lines) {
                out += line;
                out += "\r\n";
            }
            QFile outFile(copy);
            outFile.open(QIODevice::WriteOnly);
            outFile.write(out);
            outFile.flush();
        }
        baseline.push_back(msSince(t));

        Collection c;
        t.restart();
        {
            QFile in(path);
            in.open(QIODevice::ReadOnly);
            DataFileReader reader(path, in.size());
            const QByteArray bytes = in.readAll();
            ParseResult result = reader.parse(bytes);
            c.replaceAll(std::move(result.categories));
        }
        load.push_back(msSince(t));
        t.restart();
        DataFileWriter(copy).write(c);
        save.push_back(msSince(t));
        if (c.totalItemCount() != items)
            std::fprintf(stderr, "item count mismatch: %d\n", c.totalItemCount());
    }
    const double b = percentile(baseline, 50), l = percentile(load, 50), s = percentile(save, 50);
    std::printf("items %d, file %.1f MB, rounds %d (medians)\n", items, double(size) / 1e6, rounds);
    std::printf("baseline read+split+write: %8.1f ms\n", b);
    std::printf("load into model:           %8.1f ms\n", l);
    std::printf("save from model:           %8.1f ms\n", s);
    std::printf("load+save / baseline:      %8.2f (goal <= 2.00)\n", (l + s) / b);
    return 0;
}

// Times the pop-up list's search across every category as the user types,
// over a collection written by bench/make_collection.py (100 000 items in 50
// categories): from each key event to the repaint showing the rows for it
// (the first screenful, final once shown), typing at eight keys a second and
// as fast as the keys come. Then, for every query typed, the search's own
// work from scratch against a plain case-insensitive substring scan of the
// same texts (the baseline, measured here in the same run), and what the
// search keeps against the data file's size.
// Usage: bench_search DATAFILE   (QT_QPA_PLATFORM=offscreen)
// With SK_BENCH_SLOW_KEYS set, every key slower than 25 ms is named on stderr.

#include "capture/clipboardmonitor.h"
#include "doubles/fakeclipboard.h"
#include "doubles/fakedesktop.h"
#include "doubles/fakekeygrabber.h"
#include "doubles/scriptedmessageboxes.h"
#include "popup/pasteengine.h"
#include "popup/popuplist.h"
#include "popup/popuplistmodel.h"
#include "popup/searchengine.h"
#include "settings/options.h"
#include "store/collection.h"
#include "store/datafilereader.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include "benchstats.h"

#include <cstdio>
#include <vector>

namespace {

class Host : public CaptureHost
{
public:
    QString currentCategoryName() const override { return {}; }
    bool applicationMinimised() const override { return true; }
    void playCaptureSound() override {}
};

// Notes when the list's rows were last painted.
class PaintClock : public QObject
{
public:
    explicit PaintClock(const QElapsedTimer &clock) : m_clock(clock) {}
    qint64 lastPaint = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        // The paint itself counts: the time is taken once it is done.
        static_cast<QWidget *>(watched)->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        watched->installEventFilter(this);
        lastPaint = m_clock.nsecsElapsed();
        return true;
    }

private:
    const QElapsedTimer &m_clock;
};

// A plain case-insensitive substring scan of the same texts for the same words.
bool plainScanMatches(const Item &item, const QStringList &words)
{
    for (const QString &word : words) {
        if (!item.alias.contains(word, Qt::CaseInsensitive)
            && (item.kind == ItemKind::Image || !item.text.contains(word, Qt::CaseInsensitive)))
            return false;
    }
    return true;
}

QStringList plainWords(const QString &typed)
{
    QStringList words;
    const QStringList parts = typed.split(QLatin1Char('"'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i % 2 == 1)
            words << parts[i].trimmed();
        else
            words << parts[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    words.removeAll(QString());
    return words;
}

double ms(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_search DATAFILE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const QByteArray bytes = file.readAll();
    Collection collection;
    {
        DataFileReader reader(path, bytes.size());
        ParseResult read = reader.parse(bytes);
        if (read.failed) {
            std::fprintf(stderr, "the data file did not load: %s\n", qPrintable(read.failure));
            return 2;
        }
        collection.replaceAll(std::move(read.categories));
    }
    collection.setCurrentCategory(collection.category(collection.categoryCount() / 2));
    collection.refreshCurrentItems();

    Options options;
    FakeDesktop desktop;
    FakeClipboard clipboard;
    Host host;
    ClipboardMonitor monitor(collection, options, clipboard, host);
    FakeKeyGrabber keys;
    PasteEngine engine(collection, options, desktop, clipboard, monitor, keys);
    ScriptedMessageBoxes boxes;
    ForeignFocus target;
    auto *list = new PopupList(collection, options, engine, desktop, boxes, target);
    list->move(0, 0);
    list->rebuild();
    list->show();
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    PaintClock paints(clock);
    list->list()->viewport()->installEventFilter(&paints);
    const int page = options.number(Option::ListRows);
    const QAbstractItemModel *rows = list->list()->model();
    // When the rows last changed: a list painted since shows them.
    qint64 rowsChanged = 0;
    const auto changed = [&rowsChanged, &clock] { rowsChanged = clock.nsecsElapsed(); };
    QObject::connect(rows, &QAbstractItemModel::modelReset, changed);
    QObject::connect(rows, &QAbstractItemModel::rowsInserted, changed);
    QObject::connect(rows, &QAbstractItemModel::rowsRemoved, changed);
    qsizetype keptMost = 0;

    // What users type: single words, two words in either order, accented
    // words typed bare, a phrase, a word nothing holds, and corrections.
    const QStringList sessions{QStringLiteral("invoice"),          QStringLiteral("meeting client"),
                               QStringLiteral("client meeting"),   QStringLiteral("resume"),
                               QStringLiteral("zurich naive cafe"), QStringLiteral("\"order phone\""),
                               QStringLiteral("schedulx"),         QStringLiteral("review 1999"),
                               QStringLiteral("project zebra")};
    std::vector<double> slowKeys, fastKeys;
    QStringList typedQueries;
    for (const bool fast : {false, true}) {
        for (const QString &session : sessions) {
            QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
            QCoreApplication::processEvents();
            // Each word typed, then its last letter taken back and typed again.
            QList<std::pair<int, QString>> strokes;
            for (const QChar c : session)
                strokes << std::pair(0, QString(c));
            strokes << std::pair(int(Qt::Key_Backspace), QString()) << std::pair(0, session.right(1));
            for (const auto &[key, text] : std::as_const(strokes)) {
                QKeyEvent stroke(QEvent::KeyPress, key, Qt::NoModifier, text);
                const qint64 keyAt = clock.nsecsElapsed();
                QCoreApplication::sendEvent(list->searchField(), &stroke);
                if (!fast && !typedQueries.contains(list->searchField()->text()))
                    typedQueries << list->searchField()->text();
                // The rows for the key are shown once a screenful is found (or
                // the search ended) and the list has been painted since they
                // last changed; a search ending with nothing more to add
                // shows its rows from that moment.
                qint64 readyAt = -1;
                while (true) {
                    if (readyAt < 0 && (!list->finder().running() || rows->rowCount() >= page))
                        readyAt = clock.nsecsElapsed();
                    if (readyAt >= 0 && paints.lastPaint >= rowsChanged && paints.lastPaint > keyAt)
                        break;
                    if (clock.nsecsElapsed() - keyAt > 10'000'000'000) {
                        std::fprintf(stderr, "no repaint after a key: \"%s\" typed, %d rows, ready %lld, painted %lld\n", qPrintable(list->searchField()->text()), rows->rowCount(), static_cast<long long>(readyAt), static_cast<long long>(paints.lastPaint));
                        return 1;
                    }
                    QCoreApplication::processEvents(QEventLoop::AllEvents);
                }
                (fast ? fastKeys : slowKeys).push_back(ms(std::max(paints.lastPaint, readyAt) - keyAt));
                if (qEnvironmentVariableIsSet("SK_BENCH_SLOW_KEYS") && (fast ? fastKeys : slowKeys).back() > 25)
                    std::fprintf(stderr, "slow key: \"%s\" %.1f ms, %d rows, ready at %.1f ms\n",
                                 qPrintable(list->searchField()->text()), (fast ? fastKeys : slowKeys).back(),
                                 rows->rowCount(), ms(readyAt - keyAt));
                // The engine's lists and the rows the list holds for it (each at most a record and an alias).
                const auto *found = static_cast<const PopupListModel *>(rows);
                keptMost = std::max(keptMost, list->finder().keptBytes()
                                                  + found->foundCount() * qsizetype(sizeof(CurrentItem)));
                // Eight keys a second leave the rest of the search its time between keys.
                while (!fast && clock.nsecsElapsed() - keyAt < 125'000'000)
                    QCoreApplication::processEvents(QEventLoop::AllEvents);
            }
            QTest::keyClick(list->searchField(), Qt::Key_Escape);
            QCoreApplication::processEvents();
        }
    }

    // The search's own work for each query from scratch, against the plain scan.
    std::vector<double> searchMs, scanMs;
    double searchTotal = 0, scanTotal = 0, narrowedTotal = 0;
    qsizetype scanHits = 0, searchHits = 0;
    SearchEngine typing(collection);
    for (const QString &query : std::as_const(typedQueries)) {
        const QStringList words = plainWords(query);
        QElapsedTimer timer;
        qsizetype hits = 0;
        timer.start();
        for (const int index : SearchQuery::categoryOrder(collection.categoryCount(),
                                                          collection.indexOf(collection.currentCategory()))) {
            for (const auto &item : collection.category(index)->items)
                hits += plainScanMatches(*item, words) ? 1 : 0;
        }
        const double scan = ms(timer.nsecsElapsed());
        SearchEngine fresh(collection);  // knows no earlier query: a search from scratch
        timer.start();
        fresh.start(query);
        fresh.step(-1);
        const double search = ms(timer.nsecsElapsed());
        timer.start();
        typing.start(query);
        typing.step(-1);
        narrowedTotal += ms(timer.nsecsElapsed());
        keptMost = std::max({keptMost, fresh.keptBytes(), typing.keptBytes()});
        scanMs.push_back(scan);
        searchMs.push_back(search);
        scanTotal += scan;
        searchTotal += search;
        scanHits += hits;
        searchHits += qsizetype(fresh.matches().size());
    }

    std::printf("%d items in %d categories, data file %.1f MB, %d queries typed\n", collection.totalItemCount(),
                collection.categoryCount(), double(bytes.size()) / 1048576.0, int(typedQueries.size()));
    std::printf("key to rows painted, 8 keys/s: median %.2f ms, p95 %.2f ms (%d keys)\n", percentile(slowKeys, 50),
                percentile(slowKeys, 95), int(slowKeys.size()));
    std::printf("key to rows painted, fast typing: median %.2f ms, p95 %.2f ms (%d keys)\n", percentile(fastKeys, 50),
                percentile(fastKeys, 95), int(fastKeys.size()));
    std::printf("baseline: plain case-insensitive scan, all queries: %.1f ms (median query %.2f ms, %lld hits)\n",
                scanTotal, percentile(scanMs, 50), static_cast<long long>(scanHits));
    std::printf("search from scratch, all queries: %.1f ms (median query %.2f ms, %lld hits)\n", searchTotal,
                percentile(searchMs, 50), static_cast<long long>(searchHits));
    std::printf("search as typed (narrowing), all queries: %.1f ms\n", narrowedTotal);
    std::printf("kept by the search: %.2f MB (data file %.1f MB)\n", double(keptMost) / 1048576.0,
                double(bytes.size()) / 1048576.0);
    delete list;
    return 0;
}

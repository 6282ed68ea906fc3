// Kills the save driver with SIGKILL at random moments of its saves and
// checks after every kill that the data file loads whole, through the
// program's own load, with either the last round the driver reported saved
// or the one after it, and that after the load the folder holds nothing but
// the data file, its backup and the side files the data file names.
//
//   tst_killsave [--kills N] [--seed S] [QtTest options]
//
// N kills (30 unless given, fewer in a sanitizer build) in one folder; the seed is printed so a failing
// run can be repeated, and a failing run's folder is kept.

#include "killtest/saverounds.h"

#include "store/collection.h"
#include "store/datafilemanager.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <chrono>
#include <limits>
#include <csignal>
#include <random>
#include <thread>

Q_DECLARE_METATYPE(std::function<void(const QString &, const QStringList &)>)

namespace {

#ifndef SK_KILLS
#define SK_KILLS 30
#endif
int g_kills = SK_KILLS;
quint64 g_seed = 0;

const QString kDataFileName = QStringLiteral("data.db");
const QString kBackupName = QStringLiteral("data.db.~bk");

// When in the driver's life the kill falls.
enum class Moment { DuringLoad, EarlyInSave, DuringSideFiles, AroundRename, AnywhereInSave, AtAMark, Count };

const char *nameOf(Moment moment)
{
    switch (moment) {
    case Moment::DuringLoad: return "during the load";
    case Moment::EarlyInSave: return "early in a save";
    case Moment::DuringSideFiles: return "while side files are written";
    case Moment::AroundRename: return "around the data file's rename";
    case Moment::AnywhereInSave: return "anywhere in a save";
    case Moment::AtAMark: return "right at a step";
    case Moment::Count: break;
    }
    return "?";
}

// How long the driver's steps take, learnt from the rounds it finishes.
struct Timings
{
    double startup = 0;        // start to loaded, microseconds
    double save = 0;           // "saving" to "saved"
    double toLastPicture = 0;  // "saving" to its last side file
    double tail = 0;           // last side file to "saved": the data file's write and rename, the sweep

    static void learn(double &average, double sample)
    {
        average = average == 0 ? sample : 0.7 * average + 0.3 * sample;
    }
};

struct Mark
{
    QByteArray what;
    int round = -1;
};

// One run of the driver, read line by line.
class DriverRun
{
public:
    DriverRun(const QString &folder, Timings &timings, int rounds = 0)
        : m_timings(timings)
    {
        m_process.setProgram(QStringLiteral(SK_SAVE_DRIVER));
        QStringList arguments{folder};
        if (rounds > 0)
            arguments << QString::number(rounds);
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        m_started = m_process.waitForStarted(30000);
        m_clock.start();
    }

    ~DriverRun()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(30000);
        }
    }

    bool started() const { return m_started; }
    int lastSaved() const { return m_lastSaved; }
    qint64 elapsed() const { return m_clock.nsecsElapsed() / 1000; }

    // Reads the driver's lines until one `stop` accepts; false when the driver ended first.
    bool readUntil(const std::function<bool(const Mark &)> &stop)
    {
        for (;;) {
            while (m_process.canReadLine()) {
                const Mark mark = take(m_process.readLine());
                if (stop(mark))
                    return true;
            }
            if (m_process.state() == QProcess::NotRunning)
                return false;
            // Only a guard against a hung driver; no step takes near this long.
            if (!m_process.waitForReadyRead(300000) && m_process.state() != QProcess::NotRunning)
                return false;
        }
    }

    // Kills the driver and takes in what it wrote before; false when it had ended by itself.
    bool killNow()
    {
        const bool running = m_process.state() == QProcess::Running;
        if (running)
            ::kill(pid_t(m_process.processId()), SIGKILL);
        m_killed = true;
        m_process.waitForFinished(60000);
        while (m_process.canReadLine())
            take(m_process.readLine());
        return running && m_process.exitStatus() == QProcess::CrashExit;
    }

    // Waits for a driver given a number of rounds; true when it finished them.
    bool finish()
    {
        readUntil([](const Mark &) { return false; });
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

    QString endDescription() const
    {
        return m_process.exitStatus() == QProcess::NormalExit ? QStringLiteral("exited with %1").arg(m_process.exitCode())
                                                               : QStringLiteral("crashed");
    }

private:
    Mark take(const QByteArray &line)
    {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        Mark mark{parts.value(0), parts.value(1).toInt()};
        const double at = double(elapsed());
        if (m_killed) {
            // Written before the kill, read after it: only the saved round counts.
        } else if (mark.what == "loaded") {
            Timings::learn(m_timings.startup, at);
        } else if (mark.what == "saving") {
            m_savingAt = at;
            m_lastPictureAt = at;
        } else if (mark.what == "picture") {
            m_lastPictureAt = at;
        } else if (mark.what == "saved" && m_savingAt >= 0) {
            Timings::learn(m_timings.save, at - m_savingAt);
            Timings::learn(m_timings.toLastPicture, m_lastPictureAt - m_savingAt);
            Timings::learn(m_timings.tail, at - m_lastPictureAt);
        }
        if (mark.what == "saved")
            m_lastSaved = mark.round;
        return mark;
    }

    QProcess m_process;
    QElapsedTimer m_clock;
    Timings &m_timings;
    bool m_started = false;
    bool m_killed = false;
    int m_lastSaved = -1;
    double m_savingAt = -1;
    double m_lastPictureAt = -1;
};

// What the program's normal load finds in the folder.
struct Loaded
{
    int round = -1;
    QString problem;  // empty when the file loaded whole with a round's exact content
};

Loaded loadAndCheck(const QString &folder)
{
    const QString dataFile = QDir(folder).filePath(kDataFileName);
    SaveRounds::DataSide side(folder);
    Collection &collection = side.collection;
    const ScriptedMessageBoxes &boxes = side.boxes;
    DataFileManager &manager = side.manager;
    manager.setCurrentFile(dataFile);
    manager.loadData();

    Loaded loaded;
    if (!boxes.shown().isEmpty()) {
        loaded.problem = QStringLiteral("the load said: ") + boxes.texts().join(QLatin1String(" / "));
        return loaded;
    }
    loaded.round = SaveRounds::roundOf(collection);
    if (loaded.round < 0) {
        loaded.problem = QStringLiteral("the data file holds no round");
        return loaded;
    }
    loaded.problem = SaveRounds::differences(collection, loaded.round);
    if (!loaded.problem.isEmpty())
        return loaded;

    // What may stay: the data file, the backup the load made of it, and the
    // side files its picture items name.
    QSet<QString> allowed{kDataFileName, kBackupName};
    for (const auto &category : collection.categories()) {
        for (const auto &item : category->items) {
            if (item->kind == ItemKind::Image)
                allowed.insert(QFileInfo(item->text).fileName());
        }
    }
    QStringList extra;
    for (const QString &name : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (!allowed.contains(name))
            extra << name;
    }
    if (!extra.isEmpty()) {
        loaded.problem = QStringLiteral("left behind: ") + extra.join(QLatin1String(", "));
        return loaded;
    }
    QFile data(dataFile);
    QFile backup(QDir(folder).filePath(kBackupName));
    if (!data.open(QIODevice::ReadOnly) || !backup.open(QIODevice::ReadOnly) || data.readAll() != backup.readAll())
        loaded.problem = QStringLiteral("the backup is not a copy of the data file just loaded");
    return loaded;
}

} // namespace

class TestKillSave : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void theCheckSeesDamage_data();
    void theCheckSeesDamage();
    void everyKillLeavesOneWholeRound();
};

void TestKillSave::initTestCase()
{
    QVERIFY2(QFileInfo(QStringLiteral(SK_SAVE_DRIVER)).isExecutable(), SK_SAVE_DRIVER);
    qInfo("%d kills, seed %llu", g_kills, g_seed);
}

void TestKillSave::theCheckSeesDamage_data()
{
    // What a save that is not safe against kills could leave.
    using Damage = std::function<void(const QString &folder, const QStringList &sideFiles)>;
    QTest::addColumn<Damage>("damage");
    QTest::newRow("half a data file") << Damage([](const QString &folder, const QStringList &) {
        QVERIFY(QFile::resize(QDir(folder).filePath(kDataFileName), QFileInfo(QDir(folder).filePath(kDataFileName)).size() / 2));
    });
    QTest::newRow("a side file missing") << Damage([](const QString &, const QStringList &sideFiles) {
        QVERIFY(QFile::remove(sideFiles.last()));
    });
    QTest::newRow("a side file with another picture") << Damage([](const QString &, const QStringList &sideFiles) {
        QVERIFY(QFile::remove(sideFiles.first()));
        QVERIFY(QFile::copy(sideFiles.last(), sideFiles.first()));
    });
    QTest::newRow("a stray file") << Damage([](const QString &folder, const QStringList &) {
        QFile stray(QDir(folder).filePath(QStringLiteral("data.db.half")));
        QVERIFY(stray.open(QIODevice::WriteOnly));
    });
}

void TestKillSave::theCheckSeesDamage()
{
    QFETCH(std::function<void(const QString &, const QStringList &)>, damage);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Timings timings;
    {
        DriverRun run(dir.path(), timings, 1);
        QVERIFY(run.started());
        QVERIFY2(run.finish(), qPrintable(run.endDescription()));
    }
    const Loaded whole = loadAndCheck(dir.path());
    QVERIFY2(whole.problem.isEmpty(), qPrintable(whole.problem));
    QCOMPARE(whole.round, 1);
    QStringList sideFiles = QDir(dir.path()).entryList({QStringLiteral("data.db.b*")}, QDir::Files, QDir::Name);
    QCOMPARE(sideFiles.size(), SaveRounds::kPictures);
    for (QString &name : sideFiles)
        name = QDir(dir.path()).filePath(name);
    damage(dir.path(), sideFiles);
    QVERIFY(!loadAndCheck(dir.path()).problem.isEmpty());
}

void TestKillSave::everyKillLeavesOneWholeRound()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    bool passed = false;
    const auto keep = qScopeGuard([&] {
        if (!passed) {
            dir.setAutoRemove(false);
            qInfo("seed %llu; the folder is kept: %s", g_seed, qPrintable(folder));
        }
    });

    std::mt19937_64 random(g_seed);
    const auto uniform = [&](double high) {
        return std::uniform_real_distribution<double>(0, std::max(high, 1.0))(random);
    };
    Timings timings;
    // Per moment: an earlier round kept, the round being saved kept.
    std::array<std::array<int, 2>, size_t(Moment::Count)> tally{};
    int unreported = 0;  // kills after a data file's rename and before the driver said so

    // Round 0 and two rounds unkilled teach the timings.
    {
        DriverRun warmUp(folder, timings, 2);
        QVERIFY(warmUp.started());
        QVERIFY2(warmUp.finish(), qPrintable(warmUp.endDescription()));
    }
    Loaded state = loadAndCheck(folder);
    QVERIFY2(state.problem.isEmpty(), qPrintable(state.problem));
    QCOMPARE(state.round, 2);

    for (int kill = 0; kill < g_kills; ++kill) {
        const auto moment = Moment(std::uniform_int_distribution<int>(0, int(Moment::Count) - 1)(random));
        // Some rounds finish before the one killed, so timings follow the machine's load.
        const int target = state.round + 1 + int(random() % 2);
        const int pictures = int(SaveRounds::picturesReplacedIn(target).size());
        const int markChoice = int(random() % (pictures + 2));  // saving, each picture, saved
        const QString where = QStringLiteral("kill %1 (%2, round %3)").arg(kill).arg(QLatin1String(nameOf(moment))).arg(target);

        DriverRun run(folder, timings);
        QVERIFY2(run.started(), qPrintable(where));
        double delay = 0;
        int seen = 0;
        std::function<bool(const Mark &)> trigger;
        switch (moment) {
        case Moment::DuringLoad:
            delay = uniform(timings.startup) - double(run.elapsed());
            break;
        case Moment::EarlyInSave:
            trigger = [&](const Mark &m) { return m.what == "saving" && m.round == target; };
            delay = uniform(timings.save / 4);
            break;
        case Moment::DuringSideFiles:
            trigger = [&](const Mark &m) { return m.what == "saving" && m.round == target; };
            delay = uniform(timings.toLastPicture);
            break;
        case Moment::AroundRename:
            trigger = [&](const Mark &m) { return m.what == "picture" && m.round == target && ++seen == pictures; };
            delay = uniform(timings.tail * 1.2);
            break;
        case Moment::AnywhereInSave:
            trigger = [&](const Mark &m) { return m.what == "saving" && m.round == target; };
            delay = uniform(timings.save * 1.1);
            break;
        case Moment::AtAMark:
            trigger = [&](const Mark &m) { return m.round == target && seen++ == markChoice; };
            break;
        case Moment::Count:
            break;
        }
        if (trigger)
            QVERIFY2(run.readUntil(trigger), qPrintable(where + QStringLiteral(": the driver ") + run.endDescription()));
        if (delay > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(qint64(delay)));
        QVERIFY2(run.killNow(), qPrintable(where + QStringLiteral(": the driver ") + run.endDescription()));

        const int saved = std::max(run.lastSaved(), state.round);
        const Loaded loaded = loadAndCheck(folder);
        QVERIFY2(loaded.problem.isEmpty(), qPrintable(where + QStringLiteral(": ") + loaded.problem));
        QVERIFY2(loaded.round == saved || loaded.round == saved + 1,
                 qPrintable(where + QStringLiteral(": round %1 loaded after round %2 was saved").arg(loaded.round).arg(saved)));
        ++tally[size_t(moment)][loaded.round >= target ? 1 : 0];
        if (loaded.round == saved + 1)
            ++unreported;
        state = loaded;
    }

    for (int m = 0; m < int(Moment::Count); ++m) {
        qInfo("killed %s: %d times; an earlier round kept %d times, the round being saved %d times",
              nameOf(Moment(m)), tally[size_t(m)][0] + tally[size_t(m)][1], tally[size_t(m)][0], tally[size_t(m)][1]);
    }
    qInfo("%d kills fell after a data file was replaced and before the driver reported it", unreported);
    qInfo("a save took %.1f ms, its side files %.1f ms, the data file and the sweep after them %.1f ms",
          timings.save / 1000, timings.toLastPicture / 1000, timings.tail / 1000);
    passed = true;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    g_seed = std::random_device{}();
    for (int i = 1; i + 1 < arguments.size();) {
        bool ok = true;
        if (arguments.at(i) == QLatin1String("--kills"))
            g_kills = arguments.at(i + 1).toInt(&ok);
        else if (arguments.at(i) == QLatin1String("--seed"))
            g_seed = arguments.at(i + 1).toULongLong(&ok);
        else {
            ++i;
            continue;
        }
        if (!ok) {
            std::fprintf(stderr, "%s: %s needs a number\n", argv[0], qPrintable(arguments.at(i)));
            return 1;
        }
        arguments.remove(i, 2);
    }
    // A kill takes seconds, so a long run outlasts the test framework's five
    // minutes for one test function: the limit grows with the kills asked
    // for, unless one is set in the environment.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT")) {
        const qint64 limitMs = (300 + 60 * qint64(std::max(g_kills, 0))) * 1000;
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(std::min<qint64>(limitMs, std::numeric_limits<int>::max())));
    }
    TestKillSave test;
    return QTest::qExec(&test, arguments);
}

#include "tst_killsave.moc"

// Saves the kill test's collection round after round through the program's
// own save path until it is killed. The data file is FOLDER/data.db: when it
// exists it is loaded and the rounds go on from the one it holds, otherwise
// round 0 is built and saved first. One line on stdout for each step, written
// at once so a parent sees every step finished before a kill:
//   loaded R    the data file held round R
//   saving R    round R starts: its changes, then its save
//   picture R   a new picture of round R is in its side file (written at
//               once, as a capture does, before the data file names it)
//   saved R     round R is on disk
// A load that reports a problem or holds other content ends it with status 2.

#include "killtest/saverounds.h"

#include "common/programerror.h"
#include "store/collection.h"
#include "store/datafilemanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace {

void tell(const char *what, int round)
{
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%s %d\n", what, round);
    if (::write(STDOUT_FILENO, line, size_t(length)) != length)
        std::_Exit(4);  // the parent is gone
}

int fail(const QString &why)
{
    std::fprintf(stderr, "savedriver: %s\n", qPrintable(why));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        std::fprintf(stderr, "usage: %s FOLDER [ROUNDS]\n", argv[0]);
        return 1;
    }
    const QString folder = QDir(arguments.at(1)).absolutePath();
    const int rounds = arguments.size() > 2 ? arguments.at(2).toInt() : 0;  // 0: until killed
    const QString dataFile = QDir(folder).filePath(QStringLiteral("data.db"));

    SaveRounds::DataSide side(folder);
    Collection &collection = side.collection;
    const ScriptedMessageBoxes &boxes = side.boxes;
    DataFileManager &manager = side.manager;

    try {
        int round = 0;
        if (QFileInfo(dataFile).isFile()) {
            manager.setCurrentFile(dataFile);
            manager.loadData();
            if (!boxes.shown().isEmpty())
                return fail(QStringLiteral("loading said: ") + boxes.texts().join(QLatin1String(" / ")));
            round = SaveRounds::roundOf(collection);
            if (round < 0)
                return fail(QStringLiteral("the data file holds no round"));
            const QString difference = SaveRounds::differences(collection, round);
            if (!difference.isEmpty())
                return fail(difference);
            tell("loaded", round);
        } else {
            manager.startNew(dataFile);
            SaveRounds::build(collection);
            tell("saving", 0);
            manager.saveData();
            tell("saved", 0);
        }

        for (int done = 0; rounds == 0 || done < rounds; ++done) {
            ++round;
            tell("saving", round);
            SaveRounds::advance(collection, round, [round] { tell("picture", round); });
            manager.saveData();
            tell("saved", round);
        }
    } catch (const ProgramError &error) {
        std::fprintf(stderr, "savedriver: %s\n", qPrintable(error.message()));
        return 3;
    }
    return 0;
}

#include "app/grouplists.h"
#include "config/tree/treeeditor.h"
#include "doubles/quietdatafilehost.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "doubles/scriptedtreedialogs.h"
#include "settings/options.h"
#include "store/collection.h"
#include "store/datafilemanager.h"
#include "store/recentfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "testsupport.h"

using namespace TestSupport;
using Button = MessageBoxService::Button;

namespace {

const QByteArray kMail =
    "031\r\nMail\r\n0\r\n0\r\n1\r\nhi\r\nSun, Feb 18, 2001, 12:33 PM\r\n1\r\nhello\r\n0001\r\nSK: 2.3\r\n";
const QByteArray kForms = "031\r\nForms\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n";
const QString kContinue =
    QStringLiteral("Contents of current group has changed, would you like to save now before continuing?");
const QString kOpening = QStringLiteral(
    "Contents of current group has changed, would you like to save now before opening your data file?");
const QString kFilter = QStringLiteral("Scrapkeeper Database (*.db)");

// The program around the group lists, as far as they reach it.
class Host : public QuietDataFileHost, public GroupListHost
{
public:
    QWidget *dialogParent() override { return nullptr; }
    void saveCollection() override { manager->saveData(); }
    void currentFileChanged(bool contentReplaced) override { changes << contentReplaced; }

    DataFileManager *manager = nullptr;
    QList<bool> changes;
};

// The group lists over a scratch folder whose "data.db" holds the category
// Mail, loaded as at start-up.
struct Lists
{
    Lists()
    {
        host.manager = &files;
        writeFile(path("data.db"), kMail);
        files.setCurrentFile(path("data.db"));
        files.loadData();
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    // An edit not saved yet.
    void edit()
    {
        collection.insertFirstChild(collection.category(0), textItem(QStringLiteral("unsaved")));
        collection.setEditModified();
    }
    QString firstCategory() const { return collection.categoryCount() ? collection.category(0)->name : QString(); }

    QTemporaryDir dir;
    Collection collection;
    RecentFiles recent;
    Options options;
    ScriptedMessageBoxes boxes;
    ScriptedTreeDialogs treeDialogs;
    ScriptedFileDialogs dialogs;
    Host host;
    DataFileManager files{collection, recent, boxes, host, dir.path()};
    TreeEditor editor{collection, options, boxes, treeDialogs};
    GroupLists lists{collection, files, recent, options, editor, boxes, dialogs, host};
};

CategoryProperties namedCategory(const QString &name)
{
    CategoryProperties properties;
    properties.name = name;
    return properties;
}

} // namespace

class TestGroupLists : public QObject
{
    Q_OBJECT
private slots:
    void unsavedChangesAreAskedAbout_data();
    void unsavedChangesAreAskedAbout();
    void aNewListIsNamedAndSavedAtOnce_data();
    void aNewListIsNamedAndSavedAtOnce();
    void aNewListStopsWhenTheUserDoes_data();
    void aNewListStopsWhenTheUserDoes();
    void aNameTheExtensionTurnsIntoAnExistingFileIsAskedAbout_data();
    void aNameTheExtensionTurnsIntoAnExistingFileIsAskedAbout();
    void aNewListWhoseCategoryDialogClosedStillHasACategory();
    void openingAChosenFile();
    void openingTheExampleFileRemembersTheListBefore_data();
    void openingTheExampleFileRemembersTheListBefore();
    void openingAFileThatIsNoListKeepsTheListInUse();
    void theRecentListKeepsTheFiveNewest();
    void recentEntries_data();
    void recentEntries();
    void clearingTheListKeepsTheCurrentFile();
    void savingAsAsksNoQuestion_data();
    void savingAsAsksNoQuestion();
};

void TestGroupLists::unsavedChangesAreAskedAbout_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("captured");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");

    QTest::newRow("nothing changed") << false << false << int(MessageBoxService::Cancel) << false << true << false;
    QTest::newRow("edited, yes") << true << false << int(MessageBoxService::Yes) << true << true << true;
    QTest::newRow("captured, yes") << false << true << int(MessageBoxService::Yes) << true << true << true;
    QTest::newRow("edited, no") << true << false << int(MessageBoxService::No) << true << true << false;
    QTest::newRow("edited, cancel") << true << true << int(MessageBoxService::Cancel) << true << false << false;
}

void TestGroupLists::unsavedChangesAreAskedAbout()
{
    QFETCH(bool, edited);
    QFETCH(bool, captured);
    QFETCH(int, answer);
    Lists l;
    l.collection.insertFirstChild(l.collection.category(0), textItem(QStringLiteral("unsaved")));
    l.collection.setEditModified(edited);
    l.collection.setCaptureModified(captured);
    l.boxes.answerNext(Button(answer));

    QTEST(l.lists.okToContinue(), "goesOn");
    QTEST(!l.boxes.shown().isEmpty(), "asked");
    if (!l.boxes.shown().isEmpty()) {
        const auto &box = l.boxes.shown().first();
        QCOMPARE(box.title, QStringLiteral("Confirmation"));
        QCOMPARE(box.icon, MessageBoxService::Icon::Question);
        QCOMPARE(box.text, kContinue);
        QCOMPARE(box.buttons, MessageBoxService::Yes | MessageBoxService::No | MessageBoxService::Cancel);
    }
    QTEST(readFile(l.path("data.db")).contains("unsaved"), "saved");
    QCOMPARE(l.collection.anyModified(), (edited || captured) && answer != MessageBoxService::Yes);
}

void TestGroupLists::aNewListIsNamedAndSavedAtOnce_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");

    QTest::newRow("no extension") << "work" << "work.db";
    QTest::newRow("another extension") << "work.txt" << "work.txt.db";
    QTest::newRow("data file extension") << "work.db" << "work.db";
    QTest::newRow("upper-case extension") << "work.DB" << "work.DB";
}

void TestGroupLists::aNewListIsNamedAndSavedAtOnce()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    Lists l;
    l.dialogs.answers << l.path(typed);
    l.treeDialogs.categoryAnswers.enqueue(namedCategory(QStringLiteral("Recipes")));

    l.lists.createNew();
    QCOMPARE(l.dialogs.asked, QStringList{QStringLiteral("Save As|") + l.path("new data file name.db")});
    QCOMPARE(l.dialogs.filters, QStringList{kFilter});
    // The category dialog cannot be cancelled: the list needs a category.
    QCOMPARE(l.treeDialogs.categoryCalls.size(), 1);
    QVERIFY(!l.treeDialogs.categoryCalls.first().cancelAllowed);
    QCOMPARE(l.files.currentFile(), l.path(file));
    QCOMPARE(readFile(l.path(file)), QByteArray("030\r\nRecipes\r\n0\r\n0\r\n0\r\nSK: 2.3\r\n"));
    QCOMPARE(l.collection.categoryCount(), 1);
    QVERIFY(!l.collection.anyModified());
    QCOMPARE(l.recent.paths().first(), l.path(file));
    QVERIFY(l.host.changes.contains(true));
    // The list it replaced is kept as it was.
    QCOMPARE(readFile(l.path("data.db")), kMail);
    QVERIFY(l.boxes.shown().isEmpty());
}

void TestGroupLists::aNewListStopsWhenTheUserDoes_data()
{
    QTest::addColumn<bool>("cancelQuestion");
    QTest::addColumn<bool>("dialogAsked");
    QTest::newRow("cancel at the question") << true << false;
    QTest::newRow("dialog cancelled") << false << true;
}

void TestGroupLists::aNewListStopsWhenTheUserDoes()
{
    QFETCH(bool, cancelQuestion);
    Lists l;
    l.edit();
    l.boxes.answerNext(cancelQuestion ? MessageBoxService::Cancel : MessageBoxService::No);
    l.lists.createNew();
    QTEST(!l.dialogs.asked.isEmpty(), "dialogAsked");
    QVERIFY(l.treeDialogs.categoryCalls.isEmpty());
    QCOMPARE(l.files.currentFile(), l.path("data.db"));
    QCOMPARE(l.collection.category(0)->items.front()->text, QStringLiteral("unsaved"));
    QVERIFY(l.collection.editModified());
    QVERIFY(l.host.changes.isEmpty());
}

void TestGroupLists::aNameTheExtensionTurnsIntoAnExistingFileIsAskedAbout_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("replace") << int(MessageBoxService::Yes) << true;
    QTest::newRow("keep") << int(MessageBoxService::No) << false;
}

void TestGroupLists::aNameTheExtensionTurnsIntoAnExistingFileIsAskedAbout()
{
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    Lists l;
    writeFile(l.path("work.txt.db"), kForms);
    // The dialog asked about "work.txt"; the file written would be "work.txt.db".
    l.dialogs.answers << l.path("work.txt") << l.path("work.txt");
    l.treeDialogs.categoryAnswers.enqueue(namedCategory(QStringLiteral("Recipes")));
    l.boxes.answerNext(Button(answer));
    l.boxes.answerNext(Button(answer));

    l.lists.createNew();
    QCOMPARE(l.boxes.shown().size(), 1);
    QCOMPARE(l.boxes.shown().first().title, QStringLiteral("Confirm Save As"));
    QCOMPARE(l.boxes.shown().first().text, QStringLiteral("work.txt.db already exists.\r\nDo you want to replace it?"));
    QCOMPARE(readFile(l.path("work.txt.db")) != kForms, replaced);
    QCOMPARE(l.files.currentFile(), l.path(replaced ? "work.txt.db" : "data.db"));

    // Saving under another name asks the same.
    l.lists.saveAs();
    QCOMPARE(l.boxes.shown().size(), 2);
    QCOMPARE(l.boxes.shown().last().title, QStringLiteral("Confirm Save As"));
    if (!replaced)
        QCOMPARE(readFile(l.path("work.txt.db")), kForms);
}

void TestGroupLists::aNewListWhoseCategoryDialogClosedStillHasACategory()
{
    Lists l;
    l.dialogs.answers << l.path("work.db");
    l.lists.createNew();
    QCOMPARE(l.firstCategory(), QStringLiteral("Category1"));
    QVERIFY(readFile(l.path("work.db")).contains("Category1"));
}

void TestGroupLists::openingAChosenFile()
{
    Lists l;
    QDir(l.dir.path()).mkpath(QStringLiteral("lists"));
    writeFile(l.path("lists/forms.db"), kForms);
    l.edit();
    l.boxes.answerNext(MessageBoxService::No);
    l.dialogs.answers << l.path("lists/forms.db");

    l.lists.openChosen();
    QCOMPARE(l.boxes.texts(), QStringList{kContinue});
    QCOMPARE(l.dialogs.asked, QStringList{QStringLiteral("Open Data File|") + l.dir.path()});
    QCOMPARE(l.dialogs.filters, QStringList{kFilter});
    QCOMPARE(l.files.currentFile(), l.path("lists/forms.db"));
    QCOMPARE(l.firstCategory(), QStringLiteral("Forms"));
    QCOMPARE(l.host.changes, QList<bool>{true});
    QVERIFY(!readFile(l.path("data.db")).contains("unsaved"));
    QVERIFY(l.options.text(Option::PreviousDataFile).isEmpty());

    // The next dialog starts where the current file is.
    l.lists.openChosen();
    QCOMPARE(l.dialogs.asked.last(), QStringLiteral("Open Data File|") + l.path("lists"));
}

void TestGroupLists::openingTheExampleFileRemembersTheListBefore_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("startingIn");
    QTest::addColumn<QString>("remembered");
    QTest::newRow("example file") << "skexdata.db" << "data.db" << "data.db";
    QTest::newRow("example file spelled otherwise") << "x/../skexdata.db" << "data.db" << "data.db";
    QTest::newRow("another file") << "forms.db" << "data.db" << "";
    QTest::newRow("example file again") << "skexdata.db" << "skexdata.db" << "";
}

void TestGroupLists::openingTheExampleFileRemembersTheListBefore()
{
    QFETCH(QString, chosen);
    QFETCH(QString, startingIn);
    QFETCH(QString, remembered);
    Lists l;
    QDir(l.dir.path()).mkpath(QStringLiteral("x"));
    writeFile(l.path("skexdata.db"), kForms);
    writeFile(l.path("forms.db"), kForms);
    QVERIFY(l.lists.open(l.path(startingIn)));
    l.dialogs.answers << l.path(chosen);
    l.lists.openChosen();
    QCOMPARE(l.firstCategory(), QStringLiteral("Forms"));
    QCOMPARE(l.options.text(Option::PreviousDataFile), remembered.isEmpty() ? QString() : l.path(remembered));
}

void TestGroupLists::openingAFileThatIsNoListKeepsTheListInUse()
{
    Lists l;
    writeFile(l.path("skexdata.db"), "");
    l.dialogs.answers << l.path("skexdata.db") << l.path("gone.db");
    l.lists.openChosen();
    l.lists.openChosen();
    QCOMPARE(l.boxes.shown().size(), 2);
    QCOMPARE(l.boxes.shown().last().title, QStringLiteral("Error"));
    QCOMPARE(l.boxes.shown().last().text, QStringLiteral("File not found"));
    QCOMPARE(l.files.currentFile(), l.path("data.db"));
    QCOMPARE(l.firstCategory(), QStringLiteral("Mail"));
    QVERIFY(l.options.text(Option::PreviousDataFile).isEmpty());
    QVERIFY(l.host.changes.isEmpty());
}

void TestGroupLists::theRecentListKeepsTheFiveNewest()
{
    Lists l;
    QStringList opened;
    for (int i = 1; i <= 6; ++i) {
        opened.prepend(l.path(QStringLiteral("list%1.db").arg(i)));
        writeFile(opened.first(), kForms);
        l.dialogs.answers << opened.first();
        l.lists.openChosen();
    }
    QCOMPARE(l.recent.paths(), opened.mid(0, 5));
    // The third opened, chosen again, moves to the top without a copy.
    l.lists.openRecent(3);
    QCOMPARE(l.files.currentFile(), l.path("list3.db"));
    QCOMPARE(l.recent.paths(), (QStringList{opened[3], opened[0], opened[1], opened[2], opened[4]}));
}

void TestGroupLists::recentEntries_data()
{
    QTest::addColumn<QStringList>("list");  // the recent list, newest first; "-" marks a file that is gone
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("messages");

    const QStringList present{"data.db", "a.db", "b.db"};
    QTest::newRow("present file opens")
        << present << false << 0 << 2 << "b.db" << QStringList{"b.db", "data.db", "a.db"} << QStringList{};
    QTest::newRow("cancel at the question loads nothing")
        << present << true << int(MessageBoxService::Cancel) << 2 << "data.db" << present << QStringList{kOpening};
    QTest::newRow("gone file is dropped")
        << QStringList{"data.db", "-gone.db", "a.db"} << false << 0 << 1 << "data.db"
        << QStringList{"data.db", "a.db"} << QStringList{"File not found"};
    // Saving at the question puts the current file on top, shifting the
    // entries: the gone file is still the one dropped.
    QTest::newRow("gone file is dropped after a save")
        << QStringList{"a.db", "-gone.db", "data.db"} << true << int(MessageBoxService::Yes) << 1 << "data.db"
        << QStringList{"data.db", "a.db"} << QStringList{kOpening, "File not found"};
}

void TestGroupLists::recentEntries()
{
    QFETCH(QStringList, list);
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(int, chosen);
    QFETCH(QString, current);
    QFETCH(QStringList, after);
    QFETCH(QStringList, messages);
    Lists l;
    l.recent.clear();
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        const bool gone = it->startsWith(QLatin1Char('-'));
        const QString file = l.path(gone ? it->mid(1) : *it);
        if (!gone && !QFile::exists(file))
            writeFile(file, kForms);
        l.recent.moveToTop(file);
    }
    if (edited)
        l.edit();
    if (answer)
        l.boxes.answerNext(Button(answer));

    l.lists.openRecent(chosen);
    QCOMPARE(l.boxes.texts(), messages);
    if (messages.contains(QStringLiteral("File not found")))
        QCOMPARE(l.boxes.shown().last().title, QStringLiteral("Error"));
    QCOMPARE(l.files.currentFile(), l.path(current));
    QStringList expected;
    for (const QString &name : after)
        expected << l.path(name);
    QCOMPARE(l.recent.paths(), expected);
    QCOMPARE(readFile(l.path("data.db")).contains("unsaved"), answer == MessageBoxService::Yes);
}

void TestGroupLists::clearingTheListKeepsTheCurrentFile()
{
    Lists l;
    for (const char *name : {"a.db", "b.db"}) {
        writeFile(l.path(name), kForms);
        l.recent.moveToTop(l.path(name));
    }
    l.lists.clearRecent();
    QCOMPARE(l.recent.paths(), QStringList{l.path("data.db")});
}

void TestGroupLists::savingAsAsksNoQuestion_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::newRow("named") << "copy" << "copy.db";
    QTest::newRow("cancelled") << "" << "data.db";
}

void TestGroupLists::savingAsAsksNoQuestion()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    Lists l;
    l.edit();
    l.dialogs.answers << (typed.isEmpty() ? QString() : l.path(typed));
    l.lists.saveAs();
    QVERIFY(l.boxes.shown().isEmpty());
    QCOMPARE(l.dialogs.asked, QStringList{QStringLiteral("Save As|") + l.path("data.db")});
    QCOMPARE(l.dialogs.filters, QStringList{kFilter});
    QCOMPARE(l.files.currentFile(), l.path(file));
    QCOMPARE(readFile(l.path(file)).contains("unsaved"), !typed.isEmpty());
    QCOMPARE(l.collection.editModified(), typed.isEmpty());
    QCOMPARE(l.host.changes, typed.isEmpty() ? QList<bool>{} : QList<bool>{false});
    // The collection itself is the same one.
    QCOMPARE(l.collection.category(0)->items.front()->text, QStringLiteral("unsaved"));
}

QTEST_GUILESS_MAIN(TestGroupLists)
#include "tst_grouplists.moc"

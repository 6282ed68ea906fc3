#include "app/commandclient.h"
#include "app/commandrunner.h"
#include "app/commandserver.h"
#include "common/modalsession.h"
#include "popup/popuplist.h"
#include "settings/options.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QTest>

#include "corefixture.h"

using namespace TestSupport;

// The running program (over a scratch home and stand-ins of the desktop)
// with its command socket, and the shell's side talking to it in-process.
class CommandFixture : public CoreFixture
{
public:
    CommandFixture()
    {
        returningUser();
        Scrapkeeper &program = start();
        Collection &collection = program.collection();
        mail = collection.findCategory(QStringLiteral("Mail"));
        build = collection.appendCategory(QStringLiteral("Build"));
        collection.removeItems(mail);
        Item picture = textItem(QStringLiteral("Picture 2x2"));
        givePicture(picture, QImage(2, 2, QImage::Format_RGB32));
        picture.alias = QStringLiteral("Picture 2x2");
        collection.insertFirstChild(mail, picture);
        Item rich = textItem(QStringLiteral("rich"));
        rich.kind = ItemKind::RichText;
        rich.text = QStringLiteral("{\\rtf1 Bold\\par words}");
        collection.insertFirstChild(mail, rich);
        Item multi = textItem(QStringLiteral("two lines"));
        multi.text = QStringLiteral("first\r\nsecond");
        collection.insertFirstChild(mail, multi);
        collection.insertFirstChild(mail, textItem(QStringLiteral("newest")));
        program.refreshCurrentItems();
        runner = std::make_unique<CommandRunner>(program);
        server = std::make_unique<CommandServer>(socketDir.filePath(QStringLiteral("s")), *runner);
        server->listen();
    }

    int run(const QStringList &args, const QByteArray &input = {})
    {
        CommandClient client(server->socketPath(), socketDir.filePath(QStringLiteral("lock")));
        QBuffer in;
        in.setData(input);
        in.open(QIODevice::ReadOnly);
        out.clear();
        err.clear();
        QBuffer outDevice(&out);
        QBuffer errDevice(&err);
        outDevice.open(QIODevice::WriteOnly);
        errDevice.open(QIODevice::WriteOnly);
        return client.run(args, &in, outDevice, errDevice);
    }

    QStringList texts(const CategoryNode *category) const
    {
        QStringList result;
        for (const auto &item : category->items)
            result << item->text;
        return result;
    }

    QTemporaryDir socketDir;
    CategoryNode *mail = nullptr;
    CategoryNode *build = nullptr;
    std::unique_ptr<CommandRunner> runner;
    std::unique_ptr<CommandServer> server;
    QByteArray out;
    QByteArray err;
};

class TestCommandRunner : public QObject
{
    Q_OBJECT
private slots:
    void readsTheCollection_data();
    void readsTheCollection();
    void listsAsJson();
    void addsAsACaptureWould_data();
    void addsAsACaptureWould();
    void addRecordsTheCopyForCancel();
    void copyPutsTheItemBackWithoutCapture();
    void pastesInTheOrderGivenThroughTheEngine();
    void refusesPastesWithoutATarget_data();
    void refusesPastesWithoutATarget();
    void popupOpensAsTheHotkeyDoes();
    void popupIsRefusedWhileTheWindowIsOpen();
    void hotkeyGoesOnWhileTheListIsOff();
    void commandsArrivingDuringAModalQuestion();
    void quitAnswersOnceTheProgramHasSaved();
};

void TestCommandRunner::readsTheCollection_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("list of the current category")
        << QStringList{"list"} << 0 << QByteArray("1\tnewest\n2\ttwo lines\n3\trich\n4\tPicture 2x2\n") << QByteArray();
    QTest::newRow("list of an empty category") << QStringList{"list", "--category", "Build"} << 0 << QByteArray()
                                               << QByteArray();
    QTest::newRow("categories") << QStringList{"categories"} << 0 << QByteArray("Mail\t4\tcurrent\nBuild\t0\n")
                                << QByteArray();
    QTest::newRow("categories as JSON")
        << QStringList{"categories", "--json"} << 0
        << QByteArray(R"([{"current":true,"items":4,"name":"Mail"},{"current":false,"items":0,"name":"Build"}])" "\n")
        << QByteArray();
    QTest::newRow("read keeps the text exactly, with LF") << QStringList{"read", "2"} << 0
                                                          << QByteArray("first\nsecond") << QByteArray();
    QTest::newRow("read of rich text gives its plain text") << QStringList{"read", "3"} << 0
                                                            << QByteArray("Bold\nwords") << QByteArray();
    QTest::newRow("read of a picture") << QStringList{"read", "4"} << 1 << QByteArray()
                                       << QByteArray("scrapkeeper: item 4 of \"Mail\" is a picture and has no text\n");
    QTest::newRow("read past the last item")
        << QStringList{"read", "5"} << 1 << QByteArray()
        << QByteArray("scrapkeeper: category \"Mail\" has no item 5 (it holds 4)\n");
    QTest::newRow("read of an empty category")
        << QStringList{"read", "1", "--category", "Build"} << 1 << QByteArray()
        << QByteArray("scrapkeeper: category \"Build\" has no items\n");
    QTest::newRow("no such category, its name on one line")
        << QStringList{"list", "--category", "Ma\nil\t"} << 1 << QByteArray()
        << QByteArray("scrapkeeper: no category named \"Ma il \"\n");
    QTest::newRow("copy past the last item") << QStringList{"copy", "99"} << 1 << QByteArray()
                                             << QByteArray("scrapkeeper: category \"Mail\" has no item 99 (it holds 4)\n");
}

void TestCommandRunner::readsTheCollection()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    CommandFixture f;
    QCOMPARE(f.run(args), exitCode);
    QCOMPARE(f.out, out);
    QCOMPARE(f.err, err);
}

void TestCommandRunner::listsAsJson()
{
    CommandFixture f;
    QCOMPARE(f.run({"list", "--json"}), 0);
    const QJsonArray items = QJsonDocument::fromJson(f.out).array();
    QCOMPARE(items.size(), 4);
    const QJsonObject newest = items.at(0).toObject();
    QCOMPARE(newest.value("index").toInt(), 1);
    QCOMPARE(newest.value("kind").toString(), QStringLiteral("text"));
    QCOMPARE(newest.value("alias").toString(), QStringLiteral("newest"));
    QCOMPARE(newest.value("text").toString(), QStringLiteral("newest"));
    QCOMPARE(newest.value("created").toString(), kStamp);
    QCOMPARE(items.at(1).toObject().value("text").toString(), QStringLiteral("first\nsecond"));
    QCOMPARE(items.at(2).toObject().value("kind").toString(), QStringLiteral("rich"));
    QCOMPARE(items.at(2).toObject().value("text").toString(), QStringLiteral("Bold\nwords"));
    QCOMPARE(items.at(3).toObject().value("kind").toString(), QStringLiteral("image"));
    QVERIFY(items.at(3).toObject().value("text").isNull());
}

void TestCommandRunner::addsAsACaptureWould_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("limit");  // of Build, locked at it; 0: none
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QStringList>("buildTexts");
    QTest::addColumn<QString>("newestAlias");
    const QStringList before{"older"};
    QTest::newRow("text") << QStringList{"add", "--category", "Build", "make: done"} << QByteArray() << 0 << 0
                          << QByteArray() << QStringList{"make: done", "older"} << "make: done";
    QTest::newRow("standard input with LF lines")
        << QStringList{"add", "--category", "Build"} << QByteArray("cc -c a.c\nerror: x\n") << 0 << 0 << QByteArray()
        << QStringList{"cc -c a.c\r\nerror: x\r\n", "older"} << "cc -c a.c...";
    QTest::newRow("NUL dropped, bytes not UTF-8 replaced, as a copy")
        << QStringList{"add", "--category", "Build"} << QByteArray("a\0b\xff", 4) << 0 << 0 << QByteArray()
        << QStringList{QStringLiteral("ab\uFFFD"), "older"} << QStringLiteral("ab\uFFFD");
    QTest::newRow("the newest item again is not added twice")
        << QStringList{"add", "--category", "Build", "older"} << QByteArray() << 0 << 0 << QByteArray()
        << QStringList{"older"} << "older";
    QTest::newRow("a limit drops the oldest item")
        << QStringList{"add", "--category=Build", "new"} << QByteArray() << -1 << 0 << QByteArray()
        << QStringList{"new"} << "new";
    QTest::newRow("locked and full refuses")
        << QStringList{"add", "--category", "Build", "new"} << QByteArray() << 1 << 1
        << QByteArray("scrapkeeper: Category \"Build\" is locked and full (its limit is 1).\n") << QStringList{"older"}
        << "older";
    QTest::newRow("empty standard input") << QStringList{"add", "--category", "Build"} << QByteArray() << 0 << 1
                                          << QByteArray("scrapkeeper: nothing to add: standard input is empty\n")
                                          << QStringList{"older"} << "older";
    QTest::newRow("only NUL is empty") << QStringList{"add", "--category", "Build"} << QByteArray(3, '\0') << 0 << 1
                                       << QByteArray("scrapkeeper: nothing to add: standard input is empty\n")
                                       << QStringList{"older"} << "older";
    QTest::newRow("no such category") << QStringList{"add", "--category", "Nope", "x"} << QByteArray() << 0 << 1
                                      << QByteArray("scrapkeeper: no category named \"Nope\"\n")
                                      << QStringList{"older"} << "older";
}

void TestCommandRunner::addsAsACaptureWould()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, limit);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);
    QFETCH(QStringList, buildTexts);
    QFETCH(QString, newestAlias);
    CommandFixture f;
    f.core->collection().insertFirstChild(f.build, textItem(QStringLiteral("older")));
    // -1: a limit of one, not locked.
    f.build->rec.limit = std::abs(limit);
    f.build->rec.lockAtLimit = limit > 0;
    f.core->collection().clearModified();
    QCOMPARE(f.run(args, input), exitCode);
    QCOMPARE(f.err, err);
    QCOMPARE(f.texts(f.build), buildTexts);
    QCOMPARE(f.build->items.front()->alias, newestAlias);
    QCOMPARE(f.build->items.front()->category, QStringLiteral("Build"));
    // A kept text is saved as a capture is.
    QCOMPARE(f.core->collection().captureModified(), exitCode == 0 && buildTexts.first() != QLatin1String("older"));
    QCOMPARE(f.mail->itemCount(), 4);
}

void TestCommandRunner::addRecordsTheCopyForCancel()
{
    // Added while the window is open, the text survives the window's Cancel as a copy does.
    CommandFixture f;
    f.core->showConfiguration();
    QVERIFY(!f.core->isMinimisedState());
    QCOMPARE(f.run({"add", "kept over cancel"}), 0);
    QCOMPARE(f.mail->items.front()->text, QStringLiteral("kept over cancel"));
    QCOMPARE(f.core->collection().currentItems().first().alias, QStringLiteral("kept over cancel"));
    f.core->collection().setEditModified();
    f.core->discardChanges();
    CategoryNode *mail = f.core->collection().findCategory(QStringLiteral("Mail"));
    QVERIFY(mail && mail->itemCount() > 0);
    QCOMPARE(mail->items.front()->text, QStringLiteral("kept over cancel"));
}

void TestCommandRunner::copyPutsTheItemBackWithoutCapture()
{
    CommandFixture f;
    QCOMPARE(f.run({"copy", "2"}), 0);
    QCOMPARE(f.clipboard.data(QStringLiteral("text/plain")), QByteArray("first\nsecond"));
    QCOMPARE(f.mail->itemCount(), 4);
    QCOMPARE(f.run({"copy", "3"}), 0);
    QVERIFY(f.clipboard.formats().contains(QStringLiteral("text/rtf")));
    QCOMPARE(f.mail->itemCount(), 4);
    QVERIFY(!f.core->collection().captureModified());
    // The monitor is armed again: the next copy of another program is captured.
    f.clipboard.offer({{QStringLiteral("text/plain"), "from elsewhere"}});
    QCOMPARE(f.mail->itemCount(), 5);
}

void TestCommandRunner::pastesInTheOrderGivenThroughTheEngine()
{
    CommandFixture f;
    f.desktop.focus.window = 42;
    QVERIFY(f.hotkeyGrabbed());
    bool grabbedDuringRun = true;
    f.desktop.schedule(1, [&] { grabbedDuringRun = f.hotkeyGrabbed(); });
    QCOMPARE(f.run({"paste", "2", "1"}), 0);
    QVERIFY(f.err.isEmpty());
    QCOMPARE(f.desktop.log.count(QStringLiteral("key ctrl+v")), 2);
    // Item 1 went last, so it is what the clipboard holds.
    QCOMPARE(f.clipboard.data(QStringLiteral("text/plain")), QByteArray("newest"));
    QVERIFY(!grabbedDuringRun);
    QVERIFY(f.hotkeyGrabbed());
    QCOMPARE(f.mail->itemCount(), 4);
}

void TestCommandRunner::refusesPastesWithoutATarget_data()
{
    QTest::addColumn<quint64>("window");
    QTest::addColumn<bool>("own");
    QTest::addColumn<bool>("activates");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("no window") << quint64(0) << false << true
                               << QByteArray("scrapkeeper: there is no window in front to paste into\n");
    QTest::newRow("our own window") << quint64(7) << true << true
                                    << QByteArray("scrapkeeper: the window in front is Scrapkeeper's own\n");
    QTest::newRow("a window that never comes forward")
        << quint64(9) << false << false << QByteArray("scrapkeeper: the paste stopped");
}

void TestCommandRunner::refusesPastesWithoutATarget()
{
    QFETCH(quint64, window);
    QFETCH(bool, own);
    QFETCH(bool, activates);
    QFETCH(QByteArray, err);
    CommandFixture f;
    f.desktop.focus.window = window;
    f.desktop.focus.ownWindow = own;
    f.desktop.refuseActivation = !activates;
    QCOMPARE(f.run({"paste", "1"}), 1);
    QVERIFY2(f.err.startsWith(err), f.err.constData());
    QCOMPARE(f.desktop.log.count(QStringLiteral("key ctrl+v")), 0);
    QVERIFY(f.hotkeyGrabbed());
}

void TestCommandRunner::popupOpensAsTheHotkeyDoes()
{
    CommandFixture f;
    f.desktop.focus.window = 42;
    f.desktop.focus.caretKnown = true;
    f.desktop.focus.caret = QPoint(300, 200);
    QCOMPARE(f.run({"popup"}), 0);
    PopupList *list = f.core->popup();
    QVERIFY(list && list->isVisible());
    QCOMPARE(f.core->pasteTarget().window, quint64(42));
    // Asked again, the open list comes forward; no second list.
    QCOMPARE(f.run({"popup"}), 0);
    QCOMPARE(f.core->popup(), list);
    // While the list is open, a paste from the shell waits for nobody: it is refused.
    QCOMPARE(f.run({"paste", "1"}), 1);
    QCOMPARE(f.err, QByteArray("scrapkeeper: the pop-up list is open\n"));
    list->close();
}

void TestCommandRunner::popupIsRefusedWhileTheWindowIsOpen()
{
    CommandFixture f;
    f.core->showConfiguration();
    QCOMPARE(f.run({"popup"}), 1);
    QVERIFY(f.err.contains("the configuration window is open"));
    QVERIFY(!f.core->popup());
    f.core->acceptChanges();
    f.core->options().set(Option::QuickListActive, false);
    QCOMPARE(f.run({"popup"}), 1);
    QVERIFY(f.err.contains("switched off"));
    QVERIFY(!f.core->popup());
}

// Where the desktop binds the hotkey to `popup --hotkey` (Wayland), the key
// goes on to the window in front while the list is off, as it would unbound;
// without --hotkey (a script) nothing is sent, and the list opens as usual.
void TestCommandRunner::hotkeyGoesOnWhileTheListIsOff()
{
    CommandFixture f;
    f.desktop.passesKeysOn = true;
    const QString passedOn = QStringLiteral("pass on 76 2");  // V with Ctrl, the default hotkey
    f.core->showConfiguration();
    QCOMPARE(f.run({"popup"}), 1);
    QCOMPARE(f.desktop.log.count(passedOn), 0);
    QCOMPARE(f.run({"popup", "--hotkey"}), 0);
    QCOMPARE(f.desktop.log.count(passedOn), 1);
    QVERIFY(!f.core->popup());
    {
        // Also into a dialog of the configuration window, say the item editor.
        const ModalSession dialog;
        QCOMPARE(f.run({"popup", "--hotkey"}), 0);
        QCOMPARE(f.desktop.log.count(passedOn), 2);
    }
    f.core->acceptChanges();
    f.core->options().set(Option::QuickListActive, false);
    QCOMPARE(f.run({"popup", "--hotkey"}), 0);
    QCOMPARE(f.desktop.log.count(passedOn), 3);
    QVERIFY(!f.core->popup());
    // A desktop that cannot send it says so as before.
    f.desktop.passesKeysOn = false;
    QCOMPARE(f.run({"popup", "--hotkey"}), 1);
    QVERIFY(f.err.contains("switched off"));
    // With the list on, the binding opens it; nothing is sent.
    f.core->options().set(Option::QuickListActive, true);
    f.desktop.focus.window = 42;
    QCOMPARE(f.run({"popup", "--hotkey"}), 0);
    QVERIFY(f.core->popup());
    QCOMPARE(f.desktop.log.count(passedOn), 3);
    f.core->popup()->close();
}

void TestCommandRunner::commandsArrivingDuringAModalQuestion()
{
    CommandFixture f;
    QVERIFY(f.core->isMinimisedState());
    int addExit = -1, listExit = -1, popupExit = -1, pasteExit = -1, showExit = -1;
    QByteArray listOut, popupErr, showErr;
    bool shownDuringQuestion = true;
    f.desktop.focus.window = 42;
    f.boxes.setWhileShown([&](const QString &) {
        addExit = f.run({"add", "during the question"});
        listExit = f.run({"list"});
        listOut = f.out;
        popupExit = f.run({"popup"});
        popupErr = f.err;
        pasteExit = f.run({"paste", "1"});
        showExit = f.run({"show"});
        showErr = f.err;
        QTest::qWait(50);
        shownDuringQuestion = !f.core->isMinimisedState();
    });
    f.boxes.show(MessageBoxService::Icon::Question, QStringLiteral("Confirmation"), QStringLiteral("Sure?"),
                 MessageBoxService::Yes | MessageBoxService::No);
    f.boxes.setWhileShown({});
    QCOMPARE(addExit, 0);
    QCOMPARE(listExit, 0);
    QVERIFY(listOut.startsWith("1\tduring the question\n"));
    QCOMPARE(popupExit, 1);
    QVERIFY(popupErr.contains("dialog is open"));
    QVERIFY(!f.core->popup());
    QCOMPARE(pasteExit, 1);
    QCOMPARE(f.desktop.log.count(QStringLiteral("key ctrl+v")), 0);
    QCOMPARE(showExit, 0);
    QVERIFY(showErr.contains("opens once it is closed"));
    QVERIFY(!shownDuringQuestion);
    // The question answered, the window the shell asked for opens.
    QTRY_VERIFY(!f.core->isMinimisedState());
}

void TestCommandRunner::quitAnswersOnceTheProgramHasSaved()
{
    CommandFixture f;
    QCOMPARE(f.run({"add", "saved at quit"}), 0);
    // Raw, as the shell's loop would end with the program's here.
    QLocalSocket socket;
    socket.connectToServer(f.server->socketPath());
    QVERIFY(socket.waitForConnected(2000));
    socket.write(CommandWire::encode(CommandWire::Request{{QStringLiteral("quit")}, {}, {}}));
    QTRY_VERIFY(f.core->exitRequested());
    QTest::qWait(50);
    QCOMPARE(socket.bytesAvailable(), 0);
    f.core->shutDown();
    f.runner->quitFinished();
    f.server->flush();
    QVERIFY(readFile(QDir(f.paths().programFolder).filePath(QStringLiteral("data.db"))).contains("saved at quit"));
    // Progress may come first; the reply is the last message.
    QTRY_VERIFY(socket.bytesAvailable() > 0);
    QByteArray bytes = socket.readAll();
    std::optional<CommandWire::Reply> reply;
    while (!bytes.isEmpty()) {
        CommandWire::Reader reader(CommandWire::MaxOutputBytes);
        QCOMPARE(reader.feed(bytes), CommandWire::Reader::State::Complete);
        QString problem;
        reply = CommandWire::decodeReply(reader.header(), reader.takePayload(), &problem);
        QVERIFY(reply);
    }
    QVERIFY(reply && !reply->working);
    QCOMPARE(reply->exitCode, 0);
}

QTEST_MAIN(TestCommandRunner)
#include "tst_commandrunner.moc"

#include "pastefixture.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "testsupport.h"

using namespace TestSupport;

class TestPasteEngine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void methodResolution_data();
    void methodResolution();
    void entriesInSelectionOrderWithPacing();
    void categoryActionOverridesItems();
    void typingWithCapsLock();
    void aFailingRunStillFinishesTyping();
    void escStopsTypingWithinACharacter();
    void imagesAndPasteOff();
    void anUnreadablePictureIsSkipped();
    void comboSelectionRestoredBeforeFirstDelivery();
    void richTextAlwaysByCtrlV();
    void insertFallsBackToTyping();
    void jumpAndExtraText();
    void captureTrimmingThePickedItemDuringTheRun();
    void nothingSentWhenTheTargetNeverComesToTheFront();
    void switchingWindowsStopsTheRun_data();
    void switchingWindowsStopsTheRun();
    void heldModifiersAreWaitedForThenReleased_data();
    void heldModifiersAreWaitedForThenReleased();
    void terminalsGetTheirPasteKey_data();
    void terminalsGetTheirPasteKey();

private:
    Item *add(const QString &text, PasteMethod method = PasteMethod::SimulateCtrlV, ItemKind kind = ItemKind::PlainText);
    QList<const Item *> pick(const QList<int> &order);
    void run(const QList<int> &order);
    QStringList deliveries() const;

    std::unique_ptr<PasteFixture> f;
};

void TestPasteEngine::init()
{
    f = std::make_unique<PasteFixture>();
}

Item *TestPasteEngine::add(const QString &text, PasteMethod method, ItemKind kind)
{
    Item item = textItem(text);
    item.pasteMethod = method;
    item.kind = kind;
    item.category = f->category->name;
    if (kind == ItemKind::Image)
        givePicture(item, filledPicture(3, 2, Qt::blue));
    f->category->items.push_back(std::make_unique<Item>(item));
    return f->category->items.back().get();
}

QList<const Item *> TestPasteEngine::pick(const QList<int> &order)
{
    QList<const Item *> entries;
    for (const int index : order)
        entries << f->category->items[size_t(index)].get();
    return entries;
}

void TestPasteEngine::run(const QList<int> &order)
{
    f->engine.pasteSelection(pick(order), f->target);
}

QStringList TestPasteEngine::deliveries() const
{
    QStringList result;
    for (const QString &line : f->desktop.log) {
        if (!line.startsWith(QLatin1String("wait")) && !line.startsWith(QLatin1String("focus")))
            result << line;
    }
    return result;
}

void TestPasteEngine::methodResolution_data()
{
    using M = PasteMethod;
    QTest::addColumn<ItemKind>("kind");
    QTest::addColumn<PasteMethod>("categoryMethod");
    QTest::addColumn<bool>("global");
    QTest::addColumn<PasteMethod>("itemMethod");
    QTest::addColumn<PasteMethod>("method");
    QTest::newRow("item's own") << ItemKind::PlainText << M::NoCategoryMethod << false << M::InsertAtCursor
                                << M::InsertAtCursor;
    QTest::newRow("category's") << ItemKind::PlainText << M::EnterKeystrokes << false << M::InsertAtCursor
                                << M::EnterKeystrokes;
    QTest::newRow("global wins") << ItemKind::PlainText << M::EnterKeystrokes << true << M::InsertAtCursor
                                 << M::EnterKeystrokes;
    QTest::newRow("rich text always Ctrl+V") << ItemKind::RichText << M::EnterKeystrokes << true << M::InsertAtCursor
                                             << M::SimulateCtrlV;
}

void TestPasteEngine::methodResolution()
{
    QFETCH(ItemKind, kind);
    QFETCH(PasteMethod, categoryMethod);
    QFETCH(bool, global);
    QFETCH(PasteMethod, itemMethod);
    QFETCH(PasteMethod, method);
    Item item;
    item.kind = kind;
    item.pasteMethod = itemMethod;
    QCOMPARE(PasteEngine::methodFor(item, categoryMethod, global, PasteMethod::EnterKeystrokes), method);
}

void TestPasteEngine::entriesInSelectionOrderWithPacing()
{
    for (int i = 0; i < 8; ++i)
        add(QStringLiteral("t%1").arg(i), PasteMethod::InsertAtCursor);
    run({5, 2, 7});
    const QStringList expected{
        "focus 7", "wait 100", "insert t5", "wait 75",
        "wait 200", "wait 100", "insert t2", "wait 75",
        "wait 200", "wait 100", "insert t7", "wait 75"};
    QCOMPARE(f->desktop.log, expected);
    // The clipboard holds the last item and nothing was captured from the run.
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("t7"));
    QCOMPARE(f->category->itemCount(), 8);
    QVERIFY(f->keys.grabs.isEmpty());
}

void TestPasteEngine::categoryActionOverridesItems()
{
    f->category->rec.action = AfterPasteAction::PressEnter;
    f->category->rec.actionCount = 3;
    Item *a = add(QStringLiteral("a"));
    a->action = AfterPasteAction::PressTab;
    a->actionCount = 1;
    add(QStringLiteral("pic"), PasteMethod::SimulateCtrlV, ItemKind::Image);
    run({0, 1});
    QCOMPARE(deliveries(), (QStringList{"key ctrl+v", "key enter", "key enter", "key enter", "key ctrl+v"}));
}

void TestPasteEngine::typingWithCapsLock()
{
    f->desktop.caps = true;
    f->engine.keepPasting = true;
    f->engine.typeText(f->target, QStringLiteral("aB\r\n"));
    QCOMPARE(f->desktop.log, (QStringList{"key capslock", "wait 1", "type a", "wait 1", "type B", "wait 1", "key enter",
                                          "wait 1", "key capslock"}));
    QVERIFY(f->desktop.caps);
}

// A run that ends in an error still gives back what it took: the keys lent to
// the run (and with them the held display) and the Caps Lock it turned off.
void TestPasteEngine::aFailingRunStillFinishesTyping()
{
    f->desktop.caps = true;
    f->desktop.failTyping = true;
    f->engine.keepPasting = true;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, f->engine.typeText(f->target, QStringLiteral("abc")));
    QCOMPARE(f->desktop.openTypingRuns, 0);
    QVERIFY(f->desktop.caps);
}

void TestPasteEngine::escStopsTypingWithinACharacter()
{
    add(QString(500, QLatin1Char('x')), PasteMethod::EnterKeystrokes);
    add(QStringLiteral("never"), PasteMethod::EnterKeystrokes);
    // 100 ms before the delivery, then 1 ms per character: Esc after about 100 of them.
    f->desktop.schedule(200, [this] { QVERIFY(f->keys.press(0xFF1B, 0)); });
    run({0, 1});
    const int typed = int(f->desktop.log.count(QStringLiteral("type x")));
    QVERIFY2(typed >= 99 && typed <= 101, qPrintable(QString::number(typed)));
    QVERIFY(!f->desktop.log.join(QLatin1Char('|')).contains(QLatin1String("never")));
    QVERIFY(f->keys.grabs.isEmpty());
}

void TestPasteEngine::imagesAndPasteOff()
{
    add(QStringLiteral("pic"), PasteMethod::SimulateCtrlV, ItemKind::Image);
    add(QStringLiteral("first text"));
    add(QStringLiteral("second text"));
    f->options.set(Option::PasteImage, false);
    f->options.set(Option::PasteText, false);
    run({0, 1, 2});
    QVERIFY(deliveries().isEmpty());
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("first text"));
    QCOMPARE(f->category->itemCount(), 3);
}

void TestPasteEngine::anUnreadablePictureIsSkipped()
{
    add(QStringLiteral("before"));
    Item *picture = add(QStringLiteral("pic"), PasteMethod::SimulateCtrlV, ItemKind::Image);
    add(QStringLiteral("after"));
    writeFile(picture->text, "no picture");
    run({0, 1, 2});
    // Ctrl+V for the picture would have pasted "before" a second time.
    QCOMPARE(deliveries(), (QStringList{"key ctrl+v", "key ctrl+v"}));
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("after"));
    QCOMPARE(f->category->itemCount(), 3);
}

void TestPasteEngine::comboSelectionRestoredBeforeFirstDelivery()
{
    f->target.comboSelStart = 2;
    f->target.comboSelEnd = 5;
    add(QStringLiteral("a"));
    add(QStringLiteral("pic"), PasteMethod::SimulateCtrlV, ItemKind::Image);
    run({0});
    QCOMPARE(deliveries(), (QStringList{"select 7 2-5", "key ctrl+v"}));
    f->desktop.log.clear();
    run({1, 0});
    QCOMPARE(deliveries(), (QStringList{"key ctrl+v", "key ctrl+v"}));
}

void TestPasteEngine::richTextAlwaysByCtrlV()
{
    f->options.set(Option::GlobalPaste, true);
    f->options.set(Option::GlobalPasteMethod, 1);
    add(QStringLiteral(R"({\rtf1 {\b Bold}\par next})"), PasteMethod::EnterKeystrokes, ItemKind::RichText);
    run({0});
    QCOMPARE(deliveries(), QStringList{"key ctrl+v"});
    QVERIFY(f->clipboard.data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
    QCOMPARE(f->clipboard.data(QStringLiteral("text/plain")), QByteArray("Bold\nnext"));
    // Programs that take only HTML get the same document, formatted.
    QTextDocument html;
    html.setHtml(QString::fromUtf8(f->clipboard.data(QStringLiteral("text/html"))));
    QCOMPARE(html.toPlainText(), QStringLiteral("Bold\nnext"));
    QVERIFY(html.begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
    QCOMPARE(f->monitor.suppressCount, 0);
    QCOMPARE(f->category->itemCount(), 1);
}

void TestPasteEngine::insertFallsBackToTyping()
{
    f->desktop.editable = false;
    add(QStringLiteral("hi"), PasteMethod::InsertAtCursor);
    run({0});
    QCOMPARE(deliveries(), (QStringList{"type h", "type i"}));
}

void TestPasteEngine::jumpAndExtraText()
{
    Item *a = add(QStringLiteral("a"));
    a->action = AfterPasteAction::JumpToNextControl;
    a->actionCount = 2;
    Item *b = add(QStringLiteral("b"));
    b->action = AfterPasteAction::TypeExtraText;
    b->actionCount = 2;
    b->extraText = QStringLiteral("!");
    run({0, 1});
    const QString log = f->desktop.log.join(QLatin1Char('|'));
    QVERIFY2(log.contains(QLatin1String("key ctrl+v|wait 75|wait 200|next control 1|next control 2|wait 200")),
             qPrintable(log));
    QVERIFY2(log.endsWith(QLatin1String("wait 100|type !|wait 100|wait 1|type !")) ||
             log.contains(QLatin1String("wait 100|wait 1|type !|wait 100|wait 1|type !")), qPrintable(log));
}

void TestPasteEngine::captureTrimmingThePickedItemDuringTheRun()
{
    // Newest first: the oldest item, picked second, is what a trim frees.
    add(QStringLiteral("kept"), PasteMethod::InsertAtCursor);
    add(QStringLiteral("oldest"), PasteMethod::InsertAtCursor);
    f->category->rec.limit = 2;
    f->desktop.schedule(150, [this] {
        Item captured = textItem(QStringLiteral("captured"));
        f->collection.insertFirstChild(f->category, captured);
        f->collection.enforceLimit(f->category, false);
    });
    run({0, 1});
    QCOMPARE(f->category->itemCount(), 2);
    QCOMPARE(deliveries(), (QStringList{"insert kept", "insert oldest"}));
}

void TestPasteEngine::nothingSentWhenTheTargetNeverComesToTheFront()
{
    add(QStringLiteral("text"), PasteMethod::EnterKeystrokes);
    add(QStringLiteral("pic"), PasteMethod::SimulateCtrlV, ItemKind::Image);
    f->desktop.active = 3;
    f->desktop.refuseActivation = true;
    run({0, 1});
    QVERIFY2(deliveries().isEmpty(), qPrintable(deliveries().join(QLatin1Char('|'))));
    QVERIFY(f->keys.grabs.isEmpty());
    // It was waited for, within bounds.
    QVERIFY(f->desktop.now >= PasteEngine::ActivationWaitMs - 10 && f->desktop.now <= PasteEngine::ActivationWaitMs + 50);
}

void TestPasteEngine::switchingWindowsStopsTheRun_data()
{
    QTest::addColumn<PasteMethod>("method");
    QTest::addColumn<AfterPasteAction>("action");
    QTest::newRow("typing") << PasteMethod::EnterKeystrokes << AfterPasteAction::None;
    QTest::newRow("Enter after each") << PasteMethod::InsertAtCursor << AfterPasteAction::PressEnter;
}

void TestPasteEngine::switchingWindowsStopsTheRun()
{
    QFETCH(PasteMethod, method);
    QFETCH(AfterPasteAction, action);
    Item *first = add(QString(300, QLatin1Char('x')), method);
    first->action = action;
    first->actionCount = 5;
    add(QStringLiteral("never"), method);
    // The user clicks another window while the first item is on its way.
    f->desktop.schedule(250, [this] { f->desktop.active = 99; });
    run({0, 1});
    const QString log = deliveries().join(QLatin1Char('|'));
    QVERIFY2(!log.contains(QLatin1String("never")) && !log.contains(QLatin1String("key enter")), qPrintable(log));
    if (method == PasteMethod::EnterKeystrokes) {
        const int typed = int(f->desktop.log.count(QStringLiteral("type x")));
        QVERIFY2(typed > 100 && typed < 300, qPrintable(QString::number(typed)));
    }
    QVERIFY(f->keys.grabs.isEmpty());
}

void TestPasteEngine::heldModifiersAreWaitedForThenReleased_data()
{
    QTest::addColumn<PasteMethod>("method");
    QTest::addColumn<int>("letGoAt");
    QTest::addColumn<bool>("released");
    QTest::newRow("typing, let go") << PasteMethod::EnterKeystrokes << 400 << false;
    QTest::newRow("typing, held on") << PasteMethod::EnterKeystrokes << 100000 << true;
    QTest::newRow("Ctrl+V, let go") << PasteMethod::SimulateCtrlV << 400 << false;
    QTest::newRow("Ctrl+V, held on") << PasteMethod::SimulateCtrlV << 100000 << true;
}

void TestPasteEngine::heldModifiersAreWaitedForThenReleased()
{
    QFETCH(PasteMethod, method);
    QFETCH(int, letGoAt);
    QFETCH(bool, released);
    add(QStringLiteral("ab"), method);
    // The Ctrl of the hotkey, still down when Enter is pressed in the list.
    f->desktop.held = true;
    f->desktop.schedule(letGoAt, [this] { f->desktop.held = false; });
    run({0});
    QCOMPARE(f->desktop.log.contains(QStringLiteral("release modifiers")), released);
    // No key went out while a modifier was down.
    const QStringList log = f->desktop.log;
    const int firstKey = int(std::find_if(log.begin(), log.end(), [](const QString &line) {
                                 return line.startsWith(QLatin1String("type")) || line.startsWith(QLatin1String("key"));
                             }) - log.begin());
    QVERIFY(firstKey < log.size());
    int waited = 0;
    for (int i = 0; i < firstKey; ++i) {
        if (log[i] == QLatin1String("wait 10"))
            waited += 10;
    }
    QVERIFY2(waited >= (released ? PasteEngine::ModifierWaitMs : letGoAt - 110), qPrintable(log.join(QLatin1Char('|'))));
    QCOMPARE(deliveries().last(), method == PasteMethod::EnterKeystrokes ? QStringLiteral("type b") : QStringLiteral("key ctrl+v"));
}

void TestPasteEngine::terminalsGetTheirPasteKey_data()
{
    QTest::addColumn<QStringList>("windowClass");
    QTest::addColumn<ItemKind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<PasteMethod>("method");
    QTest::addColumn<QStringList>("sent");
    const QStringList xterm{"xterm", "XTerm"};
    const QStringList lxterminal{"lxterminal", "Lxterminal"};
    const QString rtf = QStringLiteral(R"({\rtf1 ab\par c})");
    // Ctrl+V into xterm would make the shell wait for a literal character.
    QTest::newRow("xterm: text typed, line breaks as Enter")
        << xterm << ItemKind::PlainText << "ls\r\npwd" << PasteMethod::SimulateCtrlV
        << QStringList{"type l", "type s", "key enter", "type p", "type w", "type d"};
    QTest::newRow("xterm: rich text typed in its plain form")
        << xterm << ItemKind::RichText << rtf << PasteMethod::SimulateCtrlV
        << QStringList{"type a", "type b", "key enter", "type c"};
    QTest::newRow("xterm: picture only copied") << xterm << ItemKind::Image << "pic" << PasteMethod::SimulateCtrlV
                                                << QStringList{};
    QTest::newRow("xterm: typing stays typing") << xterm << ItemKind::PlainText << "ab" << PasteMethod::EnterKeystrokes
                                                << QStringList{"type a", "type b"};
    QTest::newRow("lxterminal: text") << lxterminal << ItemKind::PlainText << "ls" << PasteMethod::SimulateCtrlV
                                      << QStringList{"key ctrl+shift+v"};
    QTest::newRow("lxterminal: rich text") << lxterminal << ItemKind::RichText << rtf << PasteMethod::SimulateCtrlV
                                           << QStringList{"key ctrl+shift+v"};
    QTest::newRow("lxterminal: picture") << lxterminal << ItemKind::Image << "pic" << PasteMethod::SimulateCtrlV
                                         << QStringList{"key ctrl+shift+v"};
    QTest::newRow("editor: text") << QStringList{"mousepad", "Mousepad"} << ItemKind::PlainText << "ls"
                                  << PasteMethod::SimulateCtrlV << QStringList{"key ctrl+v"};
    QTest::newRow("window without a class") << QStringList{} << ItemKind::Image << "pic" << PasteMethod::SimulateCtrlV
                                            << QStringList{"key ctrl+v"};
}

void TestPasteEngine::terminalsGetTheirPasteKey()
{
    QFETCH(QStringList, windowClass);
    QFETCH(ItemKind, kind);
    QFETCH(QString, text);
    QFETCH(PasteMethod, method);
    QFETCH(QStringList, sent);
    f->desktop.windowClassNames = windowClass;
    add(text, method, kind);
    run({0});
    QCOMPARE(deliveries(), sent);
    // The item is on the clipboard, whatever the key.
    if (kind != ItemKind::Image)
        QVERIFY(!f->clipboard.data(QStringLiteral("text/plain")).isEmpty());
}

QTEST_MAIN(TestPasteEngine)
#include "tst_pasteengine.moc"

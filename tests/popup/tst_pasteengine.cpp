#include "capture/clipboardmonitor.h"
#include "platform/fakeclipboard.h"
#include "platform/fakedesktop.h"
#include "platform/fakekeygrabber.h"
#include "popup/pasteengine.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QTest>

#include "testsupport.h"

using namespace TestSupport;

namespace {

class Host : public CaptureHost
{
public:
    QString currentCategoryName() const override { return QStringLiteral("Forms"); }
    bool applicationMinimised() const override { return true; }
    void playCaptureSound() override {}
};

constexpr quint64 kWindow = 7;

} // namespace

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
    void escStopsTypingWithinACharacter();
    void imagesAndPasteOff();
    void comboSelectionRestoredBeforeFirstDelivery();
    void richTextAlwaysByCtrlV();
    void insertFallsBackToTyping();
    void jumpAndExtraText();

private:
    TItemRec *add(const QString &text, int method = 0, int kind = TItemRec::PlainText);
    QList<TItemRec *> pick(const QList<int> &order);
    void run(const QList<int> &order);
    QStringList deliveries() const;

    std::unique_ptr<Collection> m_collection;
    std::unique_ptr<Options> m_options;
    std::unique_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<FakeClipboard> m_clipboard;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<ClipboardMonitor> m_monitor;
    std::unique_ptr<FakeKeyGrabber> m_keys;
    std::unique_ptr<PasteEngine> m_engine;
    ForeignFocus m_target;
    CategoryNode *m_category = nullptr;
};

void TestPasteEngine::init()
{
    m_engine.reset();
    m_monitor.reset();
    m_collection = std::make_unique<Collection>();
    m_category = m_collection->appendCategory(QStringLiteral("Forms"));
    m_collection->setCurrentCategory(m_category);
    m_options = std::make_unique<Options>();
    m_desktop = std::make_unique<FakeDesktop>();
    m_desktop->active = kWindow;
    m_clipboard = std::make_unique<FakeClipboard>();
    m_host = std::make_unique<Host>();
    m_monitor = std::make_unique<ClipboardMonitor>(*m_collection, *m_options, *m_clipboard, *m_host);
    m_monitor->join();
    m_keys = std::make_unique<FakeKeyGrabber>();
    m_engine = std::make_unique<PasteEngine>(*m_collection, *m_options, *m_desktop, *m_clipboard, *m_monitor, *m_keys);
    m_target = ForeignFocus{};
    m_target.window = kWindow;
}

TItemRec *TestPasteEngine::add(const QString &text, int method, int kind)
{
    TItemRec item = textItem(text);
    item.PasteMethod = std::int8_t(method);
    item.Kind = std::int8_t(kind);
    item.Category = m_category->name;
    if (kind == TItemRec::Image) {
        item.Bitmap = QImage(3, 2, QImage::Format_RGB32);
        item.Bitmap.fill(Qt::blue);
    }
    m_category->items.push_back(std::make_unique<TItemRec>(item));
    return m_category->items.back().get();
}

QList<TItemRec *> TestPasteEngine::pick(const QList<int> &order)
{
    QList<TItemRec *> entries;
    for (const int index : order)
        entries << m_category->items[size_t(index)].get();
    return entries;
}

void TestPasteEngine::run(const QList<int> &order)
{
    m_engine->SpitText(pick(order), m_target);
}

QStringList TestPasteEngine::deliveries() const
{
    QStringList result;
    for (const QString &line : m_desktop->log) {
        if (!line.startsWith(QLatin1String("wait")) && !line.startsWith(QLatin1String("focus")))
            result << line;
    }
    return result;
}

void TestPasteEngine::methodResolution_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("categoryMethod");
    QTest::addColumn<bool>("global");
    QTest::addColumn<int>("itemMethod");
    QTest::addColumn<int>("method");
    QTest::newRow("item's own") << 0 << 3 << false << 2 << 2;
    QTest::newRow("category's") << 0 << 1 << false << 2 << 1;
    QTest::newRow("global wins") << 0 << 1 << true << 2 << 1;
    QTest::newRow("rich text always Ctrl+V") << 3 << 1 << true << 2 << 0;
}

void TestPasteEngine::methodResolution()
{
    QFETCH(int, kind);
    QFETCH(int, categoryMethod);
    QFETCH(bool, global);
    QFETCH(int, itemMethod);
    TItemRec item;
    item.Kind = std::int8_t(kind);
    item.PasteMethod = std::int8_t(itemMethod);
    QFETCH(int, method);
    QCOMPARE(PasteEngine::methodFor(item, categoryMethod, global, 1), method);
}

void TestPasteEngine::entriesInSelectionOrderWithPacing()
{
    for (int i = 0; i < 8; ++i)
        add(QStringLiteral("t%1").arg(i), 2);
    run({5, 2, 7});
    const QStringList expected{
        "focus 7", "wait 100", "insert t5", "wait 75",
        "wait 200", "wait 100", "insert t2", "wait 75",
        "wait 200", "wait 100", "insert t7", "wait 75"};
    QCOMPARE(m_desktop->log, expected);
    // The clipboard holds the last item and nothing was captured from the run.
    QCOMPARE(m_clipboard->data(QStringLiteral("text/plain")), QByteArray("t7"));
    QCOMPARE(m_category->itemCount(), 8);
    QVERIFY(m_keys->grabs.isEmpty());
}

void TestPasteEngine::categoryActionOverridesItems()
{
    m_category->rec.Action = 2;
    m_category->rec.ActionCount = 3;
    TItemRec *a = add(QStringLiteral("a"));
    a->Action = 1;
    a->ActionCount = 1;
    add(QStringLiteral("pic"), 0, TItemRec::Image);
    run({0, 1});
    QCOMPARE(deliveries(), (QStringList{"key ctrl+v", "key enter", "key enter", "key enter", "key ctrl+v"}));
}

void TestPasteEngine::typingWithCapsLock()
{
    m_desktop->caps = true;
    m_engine->KeepPasting = true;
    m_engine->TypeText(m_target, QStringLiteral("aB\r\n"));
    QCOMPARE(m_desktop->log, (QStringList{"key capslock", "wait 1", "type a", "wait 1", "type B", "wait 1", "key enter",
                                          "wait 1", "key capslock"}));
    QVERIFY(m_desktop->caps);
}

void TestPasteEngine::escStopsTypingWithinACharacter()
{
    add(QString(500, QLatin1Char('x')), 1);
    add(QStringLiteral("never"), 1);
    // 100 ms before the delivery, then 1 ms per character: Esc after about 100 of them.
    m_desktop->schedule(200, [this] { QVERIFY(m_keys->press(0xFF1B, 0)); });
    run({0, 1});
    const int typed = int(m_desktop->log.count(QStringLiteral("type x")));
    QVERIFY2(typed >= 99 && typed <= 101, qPrintable(QString::number(typed)));
    QVERIFY(!m_desktop->log.join(QLatin1Char('|')).contains(QLatin1String("never")));
    QVERIFY(m_keys->grabs.isEmpty());
}

void TestPasteEngine::imagesAndPasteOff()
{
    add(QStringLiteral("pic"), 0, TItemRec::Image);
    add(QStringLiteral("first text"));
    add(QStringLiteral("second text"));
    m_options->set("showbmp", false);
    m_options->set("paste", false);
    run({0, 1, 2});
    QVERIFY(deliveries().isEmpty());
    QCOMPARE(m_clipboard->data(QStringLiteral("text/plain")), QByteArray("first text"));
    QCOMPARE(m_category->itemCount(), 3);
}

void TestPasteEngine::comboSelectionRestoredBeforeFirstDelivery()
{
    m_target.comboSelStart = 2;
    m_target.comboSelEnd = 5;
    add(QStringLiteral("a"));
    add(QStringLiteral("pic"), 0, TItemRec::Image);
    run({0});
    QCOMPARE(deliveries(), (QStringList{"select 7 2-5", "key ctrl+v"}));
    m_desktop->log.clear();
    run({1, 0});
    QCOMPARE(deliveries(), (QStringList{"key ctrl+v", "key ctrl+v"}));
}

void TestPasteEngine::richTextAlwaysByCtrlV()
{
    m_options->set("global", true);
    m_options->set("gpaste", 1);
    add(QStringLiteral(R"({\rtf1 {\b Bold}\par next})"), 1, TItemRec::RichText);
    run({0});
    QCOMPARE(deliveries(), QStringList{"key ctrl+v"});
    QVERIFY(m_clipboard->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
    QCOMPARE(m_clipboard->data(QStringLiteral("text/plain")), QByteArray("Bold\nnext"));
    QCOMPARE(m_monitor->ClipSuppressCount, 0);
    QCOMPARE(m_category->itemCount(), 1);
}

void TestPasteEngine::insertFallsBackToTyping()
{
    m_desktop->editable = false;
    add(QStringLiteral("hi"), 2);
    run({0});
    QCOMPARE(deliveries(), (QStringList{"type h", "type i"}));
}

void TestPasteEngine::jumpAndExtraText()
{
    TItemRec *a = add(QStringLiteral("a"));
    a->Action = 4;
    a->ActionCount = 2;
    TItemRec *b = add(QStringLiteral("b"));
    b->Action = 5;
    b->ActionCount = 2;
    b->ExtraText = QStringLiteral("!");
    run({0, 1});
    const QString log = m_desktop->log.join(QLatin1Char('|'));
    QVERIFY2(log.contains(QLatin1String("key ctrl+v|wait 75|wait 200|focus 8|focus 9|wait 200")), qPrintable(log));
    QVERIFY2(log.endsWith(QLatin1String("wait 100|type !|wait 100|wait 1|type !")) ||
             log.contains(QLatin1String("wait 100|wait 1|type !|wait 100|wait 1|type !")), qPrintable(log));
}

QTEST_MAIN(TestPasteEngine)
#include "tst_pasteengine.moc"

#include "app/corefixture.h"
#include "common/errorhandler.h"
#include "settings/optiontable.h"
#include "settings/options.h"
#include "tray/trayicon.h"
#include "tray/traymenu.h"
#include "tray/traymenulook.h"
#include "tray/traymenustyle.h"

#include <QMenu>
#include <QSettings>
#include <QStyleOptionMenuItem>
#include <QTest>

using Selection = TrayMenuLook::Selection;

Q_DECLARE_METATYPE(Selection)

class TestTrayMenuStyle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ErrorHandler::install(nullptr); }
    void lookFromOptions_data();
    void lookFromOptions();
    void entrySizes_data();
    void entrySizes();
    void barLiesAlongTheLeftEdge();
    void lookAppliedAtLoadAndOnOk();
};

void TestTrayMenuStyle::lookFromOptions_data()
{
    QTest::addColumn<bool>("margin");
    QTest::addColumn<bool>("highlight");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("barWidth");
    QTest::addColumn<Selection>("selection");
    QTest::newRow("first run") << true << false << 0 << 18 << Selection::Standard;
    QTest::newRow("no bar") << false << false << 0 << 0 << Selection::Standard;
    QTest::newRow("kind without highlight") << true << false << 1 << 18 << Selection::Standard;
    QTest::newRow("raised") << true << true << 0 << 18 << Selection::Raised;
    QTest::newRow("lowered") << false << true << 1 << 0 << Selection::Lowered;
}

void TestTrayMenuStyle::lookFromOptions()
{
    QFETCH(bool, margin);
    QFETCH(bool, highlight);
    QFETCH(int, kind);
    QFETCH(int, barWidth);
    QFETCH(Selection, selection);
    Options options;
    options.set(Option::MenuMarginBar, margin);
    options.set(Option::MenuHighlight, highlight);
    options.set(Option::MenuHighlightStyle, kind);
    const TrayMenuLook look = TrayMenuLook::fromOptions(options);
    QCOMPARE(look.barWidth, barWidth);
    QCOMPARE(look.selection, selection);
}

void TestTrayMenuStyle::entrySizes_data()
{
    QTest::addColumn<int>("barWidth");
    QTest::addColumn<bool>("separator");
    QTest::addColumn<int>("height");
    QTest::newRow("entry with bar") << 18 << false << 18;
    QTest::newRow("separator with bar") << 18 << true << 8;
    QTest::newRow("entry without bar") << 0 << false << 18;
    QTest::newRow("separator without bar") << 0 << true << 8;
}

void TestTrayMenuStyle::entrySizes()
{
    QFETCH(int, barWidth);
    QFETCH(bool, separator);
    QFETCH(int, height);
    TrayMenuStyle style;
    style.setLook({barWidth, Selection::Standard});
    QMenu menu;
    QStyleOptionMenuItem option;
    option.initFrom(&menu);
    option.menuItemType = separator ? QStyleOptionMenuItem::Separator : QStyleOptionMenuItem::Normal;
    option.text = separator ? QString() : QStringLiteral("&Configuration...");
    const QSize contents(80, 30);
    const QSize plain = style.baseStyle()->sizeFromContents(QStyle::CT_MenuItem, &option, contents, &menu);
    const QSize sized = style.sizeFromContents(QStyle::CT_MenuItem, &option, contents, &menu);
    QCOMPARE(sized.height(), height);
    QCOMPARE(sized.width(), plain.width() + barWidth);
}

void TestTrayMenuStyle::barLiesAlongTheLeftEdge()
{
    TrayMenuStyle style;
    QMenu menu;
    const QRect outer(0, 0, 200, 300);
    style.setLook({0, Selection::Standard});
    QVERIFY(style.barRect(outer, &menu).isEmpty());
    style.setLook({18, Selection::Raised});
    const QRect bar = style.barRect(outer, &menu);
    QVERIFY(bar.width() >= 18);
    QVERIFY(bar.left() < 18);
    QVERIFY(bar.height() > outer.height() - 10);
}

void TestTrayMenuStyle::lookAppliedAtLoadAndOnOk()
{
    CoreFixture f;
    f.returningUser();
    {
        QSettings settings(f.paths().settingsFile, QSettings::IniFormat);
        settings.setValue(OptionTable::def(Option::MenuMarginBar).name, 0);
        settings.setValue(OptionTable::def(Option::MenuHighlight).name, 1);
    }
    Scrapkeeper &program = f.start();
    TrayMenu *menu = program.trayIcon().menu();
    QCOMPARE(menu->menuStyle().look(), (TrayMenuLook{0, Selection::Raised}));

    program.showConfiguration();
    program.options().set(Option::MenuMarginBar, true);
    program.options().set(Option::MenuHighlightStyle, 1);
    // Only OK puts the change into effect.
    QCOMPARE(menu->menuStyle().look().barWidth, 0);
    program.acceptRequested();
    QCOMPARE(menu->menuStyle().look(), (TrayMenuLook{18, Selection::Lowered}));
    // Every menu of the tray has the look, the generated ones too.
    QList<QMenu *> menus = menu->findChildren<QMenu *>();
    menus << menu;
    for (const QMenu *shown : std::as_const(menus))
        QVERIFY(shown->style() == &menu->menuStyle());
}

QTEST_MAIN(TestTrayMenuStyle)
#include "tst_traymenustyle.moc"

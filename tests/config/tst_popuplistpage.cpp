#include "config/pages/popuplistpage.h"
#include "settings/options.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "pagecontrols.h"
#include "unnamedcontrols.h"

Q_DECLARE_METATYPE(Option)

using namespace PageControls;
using Settings = QMap<Option, QVariant>;

namespace {

struct Page
{
    Page() : page(&parent) {}
    QWidget *find(const QString &name) { return control(page.widget(), name); }
    void load(const Settings &settings)
    {
        for (auto it = settings.begin(); it != settings.end(); ++it)
            options.set(it.key(), it.value());
        page.load(options);
    }

    QWidget parent;
    PopupListPage page;
    Options options;
};

const QStringList kQuickListControls{QStringLiteral("lbl1"),    QStringLiteral("ctrlcb"),    QStringLiteral("altcb"),
                                     QStringLiteral("shiftcb"), QStringLiteral("wincb"),     QStringLiteral("hkcbox"),
                                     QStringLiteral("pastecb"), QStringLiteral("showbmpcb"), QStringLiteral("showxcb"),
                                     QStringLiteral("globalcb")};

} // namespace

class TestPopupListPage : public QObject
{
    Q_OBJECT
private slots:
    void frame();
    void controlsShowAndGiveBackTheirOptions_data();
    void controlsShowAndGiveBackTheirOptions();
    void valuesOutOfRangeShowInRange_data();
    void valuesOutOfRangeShowInRange();
    void enablingFollowsTheControls_data();
    void enablingFollowsTheControls();
    void widthRulerIsTheChosenWidth_data();
    void widthRulerIsTheChosenWidth();
    void typedWidthIsKeptInRange_data();
    void typedWidthIsKeptInRange();
    void globalPasteHelpExplainsEveryMethod();
    void hotkeyAdviceShowsOnlyWhereGiven();
};

void TestPopupListPage::frame()
{
    Page p;
    auto *tabs = qobject_cast<QTabWidget *>(p.page.widget());
    QVERIFY(tabs);
    QCOMPARE(tabs->objectName(), QStringLiteral("plPc"));
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Pop-up List"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Other"));
    QCOMPARE(p.page.title(), QStringLiteral("Pop-up List Options"));
    QCOMPARE(p.page.helpTopic(), QStringLiteral("Listbox_Options_Tab"));
    auto *keys = qobject_cast<QComboBox *>(p.find(QStringLiteral("hkcbox")));
    QCOMPARE(keys->count(), 95);
    QCOMPARE(keys->itemText(0), QStringLiteral("Backspace"));
    QCOMPARE(keys->itemText(94), QStringLiteral("Scrolllock"));
    auto *method = qobject_cast<QGroupBox *>(p.find(QStringLiteral("Gpasterg")));
    QStringList captions;
    for (QRadioButton *radio : radios(method))
        captions << radio->text();
    QCOMPARE(captions, QStringList({QStringLiteral("Simulate Ctrl-V (recommended for general application use)"),
                                    QStringLiteral("Enter keystrokes"), QStringLiteral("Insert at cursor")}));
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QCOMPARE(unnamedControls(tabs), QStringList());
    }
}

void TestPopupListPage::controlsShowAndGiveBackTheirOptions_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Option>("option");
    QTest::addColumn<QVariant>("loaded");
    QTest::addColumn<QVariant>("changed");
    const auto both = [](const char *control, Option option) {
        QTest::addRow("%s on", control) << QString::fromLatin1(control) << option << QVariant(true) << QVariant(false);
        QTest::addRow("%s off", control) << QString::fromLatin1(control) << option << QVariant(false) << QVariant(true);
    };
    both("lbacb", Option::QuickListActive);
    both("ctrlcb", Option::HotkeyCtrl);
    both("altcb", Option::HotkeyAlt);
    both("shiftcb", Option::HotkeyShift);
    both("wincb", Option::HotkeyWin);
    both("pastecb", Option::PasteText);
    both("showbmpcb", Option::PasteImage);
    both("showxcb", Option::ListHelpButtons);
    both("globalcb", Option::GlobalPaste);
    both("shrinkcb", Option::ShrinkList);
    both("previewcb", Option::PreviewWindow);
    both("tooltipcb", Option::ItemTooltip);
    both("typesearchcb", Option::TypingSearches);
    QTest::newRow("hotkey key") << QStringLiteral("hkcbox") << Option::HotkeyKey << QVariant(3) << QVariant(90);
    QTest::newRow("global method keystrokes")
        << QStringLiteral("Gpasterg") << Option::GlobalPasteMethod << QVariant(1) << QVariant(2);
    QTest::newRow("global method insert")
        << QStringLiteral("Gpasterg") << Option::GlobalPasteMethod << QVariant(2) << QVariant(0);
    QTest::newRow("rows") << QStringLiteral("heightse") << Option::ListRows << QVariant(12) << QVariant(1000);
    QTest::newRow("width") << QStringLiteral("wud") << Option::ListWidth << QVariant(101) << QVariant(392);
}

void TestPopupListPage::controlsShowAndGiveBackTheirOptions()
{
    QFETCH(QString, control);
    QFETCH(Option, option);
    QFETCH(QVariant, loaded);
    QFETCH(QVariant, changed);
    Page p;
    checkShowsAndGivesBack(p, control, option, loaded, changed);
}

void TestPopupListPage::valuesOutOfRangeShowInRange_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Option>("option");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("key past the list") << QStringLiteral("hkcbox") << Option::HotkeyKey << 95 << 0;
    QTest::newRow("negative key") << QStringLiteral("hkcbox") << Option::HotkeyKey << -4 << 0;
    QTest::newRow("unknown method") << QStringLiteral("Gpasterg") << Option::GlobalPasteMethod << 7 << 2;  // the nearest choice
    QTest::newRow("too many rows") << QStringLiteral("heightse") << Option::ListRows << 5000 << 1000;
    QTest::newRow("no rows") << QStringLiteral("heightse") << Option::ListRows << 0 << 1;
}

void TestPopupListPage::valuesOutOfRangeShowInRange()
{
    QFETCH(QString, control);
    QFETCH(Option, option);
    QFETCH(int, stored);
    QFETCH(int, expected);
    Page p;
    p.load({{option, stored}});
    QCOMPARE(shown(p.find(control)).toInt(), expected);
    p.page.apply(p.options);
    QCOMPARE(p.options.number(option), expected);
}

void TestPopupListPage::enablingFollowsTheControls_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QStringList>("enabledBefore");
    QTest::addColumn<QStringList>("disabledBefore");
    QTest::addColumn<QString>("click");
    QTest::addColumn<QStringList>("enabledAfter");
    QTest::addColumn<QStringList>("disabledAfter");
    const QStringList always{QStringLiteral("lbacb"), QStringLiteral("hlpsp"), QStringLiteral("heightse"),
                             QStringLiteral("wud"), QStringLiteral("previewcb")};
    const QString gpaste = QStringLiteral("Gpasterg");
    QTest::newRow("quick list switched on")
        << Settings{{Option::QuickListActive, false}, {Option::GlobalPaste, true}} << always
        << kQuickListControls + QStringList{gpaste} << QStringLiteral("lbacb")
        << kQuickListControls + QStringList{gpaste} << QStringList();
    QTest::newRow("quick list switched off")
        << Settings{{Option::QuickListActive, true}, {Option::GlobalPaste, true}}
        << always + kQuickListControls + QStringList{gpaste} << QStringList() << QStringLiteral("lbacb")
        << always << kQuickListControls + QStringList{gpaste};
    QTest::newRow("global method switched on")
        << Settings{{Option::QuickListActive, true}, {Option::GlobalPaste, false}} << kQuickListControls
        << QStringList{gpaste} << QStringLiteral("globalcb") << QStringList{gpaste} << QStringList();
    QTest::newRow("global method switched off")
        << Settings{{Option::QuickListActive, true}, {Option::GlobalPaste, true}} << QStringList{gpaste}
        << QStringList() << QStringLiteral("globalcb") << kQuickListControls << QStringList{gpaste};
    QTest::newRow("quick list on, global method off")
        << Settings{{Option::QuickListActive, false}, {Option::GlobalPaste, false}} << always
        << kQuickListControls + QStringList{gpaste} << QStringLiteral("lbacb") << kQuickListControls
        << QStringList{gpaste};
}

void TestPopupListPage::enablingFollowsTheControls()
{
    QFETCH(Settings, settings);
    QFETCH(QStringList, enabledBefore);
    QFETCH(QStringList, disabledBefore);
    QFETCH(QString, click);
    QFETCH(QStringList, enabledAfter);
    QFETCH(QStringList, disabledAfter);
    Page p;
    // Loaded over a page showing the opposite, so the load itself must set the states.
    Options opposite;
    for (auto it = settings.begin(); it != settings.end(); ++it)
        opposite.set(it.key(), !it.value().toBool());
    p.page.load(opposite);
    checkEnablingFollowsAClick(p, settings, enabledBefore, disabledBefore, click, enabledAfter, disabledAfter);
}

void TestPopupListPage::widthRulerIsTheChosenWidth_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("width");
    QTest::newRow("first-run width") << 250 << 250;
    QTest::newRow("narrowest") << 50 << 50;
    QTest::newRow("too small to be a width") << 4 << 50;
    QTest::newRow("zero") << 0 << 50;
    QTest::newRow("negative") << -20 << 50;
    QTest::newRow("small but a width") << 5 << 50;
    QTest::newRow("widest") << 393 << 393;
    QTest::newRow("beyond the widest") << 2000 << 393;
}

void TestPopupListPage::widthRulerIsTheChosenWidth()
{
    QFETCH(int, stored);
    QFETCH(int, width);
    Page p;
    auto *upDown = qobject_cast<QSpinBox *>(p.find(QStringLiteral("wud")));
    auto *ruler = qobject_cast<QLineEdit *>(p.find(QStringLiteral("wedit")));
    QCOMPARE(upDown->minimum(), 50);
    QCOMPARE(upDown->maximum(), 393);
    QVERIFY(!upDown->wrapping());
    QVERIFY(!ruler->isEnabled());
    QVERIFY(!ruler->hasFrame());

    p.load({{Option::ListWidth, stored}});
    QCOMPARE(upDown->value(), width);
    QCOMPARE(ruler->width(), width);

    upDown->stepUp();
    const int wider = std::min(width + 3, 393);
    QCOMPARE(upDown->value(), wider);
    QCOMPARE(ruler->width(), wider);
    p.page.apply(p.options);
    QCOMPARE(p.options.number(Option::ListWidth), wider);

    upDown->stepDown();
    upDown->stepDown();
    QCOMPARE(ruler->width(), upDown->value());
    QCOMPARE(upDown->value(), std::max(wider - 6, 50));
}

void TestPopupListPage::typedWidthIsKeptInRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("width");
    QTest::newRow("inside") << QStringLiteral("301") << 301;
    QTest::newRow("just past the widest") << QStringLiteral("394") << 393;
    QTest::newRow("past the widest") << QStringLiteral("400") << 393;
    QTest::newRow("far past the widest") << QStringLiteral("9999") << 393;
    QTest::newRow("below the narrowest") << QStringLiteral("20") << 50;
}

void TestPopupListPage::typedWidthIsKeptInRange()
{
    QFETCH(QString, typed);
    QFETCH(int, width);
    Page p;
    p.load({{Option::ListWidth, 250}});
    auto *upDown = qobject_cast<QSpinBox *>(p.find(QStringLiteral("wud")));
    p.parent.show();
    upDown->setFocus();
    upDown->selectAll();
    QTest::keyClicks(upDown, typed);
    QTest::keyClick(upDown, Qt::Key_Return);
    QCOMPARE(upDown->value(), width);
    QCOMPARE(p.find(QStringLiteral("wedit"))->width(), width);
    p.page.apply(p.options);
    QCOMPARE(p.options.number(Option::ListWidth), width);
}

void TestPopupListPage::globalPasteHelpExplainsEveryMethod()
{
    Page p;
    QSignalSpy asked(&p.page, &PopupListPage::explanationRequested);
    qobject_cast<QToolButton *>(p.find(QStringLiteral("hlpsp")))->click();
    QCOMPARE(asked.size(), 1);
    const QString expected = QStringLiteral(
        "The Global Pasting Method overrides an individual item's paste method.  Therefore if one of the following "
        "options are set, it is the paste method which will always be used until it's disabled.\r\n\r\n"
        " Simulate Ctrl-V:\r\nThis option should be set for general application use.  If the application that you "
        "are pasting to supports the use of Ctrl-V to paste text to it, this option is best."
        " \r\n\r\nEnter keystrokes:\r\nThis option should be set if the application you are pasting to does not "
        "support \"standard\" Ctrl-V pasting.  For example, pasting to a Telnet (or maybe a terminal) application may "
        "require keystrokes to be sent directly."
        " \r\n\r\nInsert at cursor:\r\nThis option should be set if the above two do not seem to work (or if the "
        "second is undesired).  If you are pasting to a \"standard\" text box, this method will directly place the "
        "text in it.");
    QCOMPARE(asked.first().first().toString(), expected);
}

// Where the desktop keeps the keys (Wayland), the page says how to bind the
// hotkey there, whole; elsewhere nothing is added under the hotkey.
void TestPopupListPage::hotkeyAdviceShowsOnlyWhereGiven()
{
    Page page;
    page.parent.resize(560, 520);
    page.page.widget()->resize(page.parent.size());
    page.parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page.parent));
    auto *advice = qobject_cast<QLabel *>(page.find(QStringLiteral("hotkeyadvice")));
    QVERIFY(advice);
    QVERIFY(!advice->isVisible());
    const QString text = QStringLiteral("On Wayland the desktop keeps the keys to itself: bind the key chosen above "
                                        "to the command \"scrapkeeper popup\".\nsway: bindsym Ctrl+v exec scrapkeeper popup");
    page.page.setHotkeyAdvice(text);
    QVERIFY(advice->isVisible());
    QCOMPARE(advice->text(), text);
    QTRY_VERIFY(advice->height() >= advice->heightForWidth(advice->width()));
    page.page.setHotkeyAdvice(QString());
    QVERIFY(!advice->isVisible());
}

QTEST_MAIN(TestPopupListPage)
#include "tst_popuplistpage.moc"

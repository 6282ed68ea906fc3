#include "config/pages/miscellaneouspage.h"
#include "config/radiogroup.h"
#include "doubles/fakedesktop.h"
#include "doubles/scriptedfiledialogs.h"
#include "settings/options.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "unnamedcontrols.h"

Q_DECLARE_METATYPE(Option)

using Settings = QMap<Option, QVariant>;

namespace {

struct Page
{
    Page() : page(desktop, dialogs, &window) {}

    QWidget *control(const QString &name) const
    {
        auto *found = window.findChild<QWidget *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    template <typename T>
    T *control(const QString &name) const
    {
        auto *found = qobject_cast<T *>(control(name));
        if (!found)
            qFatal("%s is of another kind", qPrintable(name));
        return found;
    }

    QVariant shown(const QString &name) const
    {
        QWidget *w = control(name);
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            return button->isChecked();
        if (auto *spin = qobject_cast<QSpinBox *>(w))
            return spin->value();
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            return edit->text();
        return qobject_cast<RadioGroup *>(w)->index();
    }
    // As the user would: a click on a switch, typing into an edit.
    void change(const QString &name, const QVariant &value) const
    {
        QWidget *w = control(name);
        if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            if (button->isChecked() != value.toBool())
                button->click();
        } else if (auto *spin = qobject_cast<QSpinBox *>(w)) {
            spin->setValue(value.toInt());
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            edit->setText(value.toString());
        } else {
            qobject_cast<RadioGroup *>(w)->button(value.toInt())->click();
        }
    }
    void load(const Settings &settings)
    {
        options.resetToFormDefaults();
        for (auto it = settings.begin(); it != settings.end(); ++it)
            options.set(it.key(), it.value());
        page.load(options);
    }
    // Actions written "name=value".
    void act(const QStringList &actions) const
    {
        for (const QString &action : actions) {
            const QStringList parts = action.split(QLatin1Char('='));
            change(parts.at(0), parts.value(1));
        }
    }

    QWidget window;
    FakeDesktop desktop;
    ScriptedFileDialogs dialogs;
    MiscellaneousPage page;
    Options options;
};

} // namespace

class TestMiscellaneousPage : public QObject
{
    Q_OBJECT
private slots:
    void isOneNotebookOfThreeTabs();
    void everyControlHasAName();
    void controlsShowAndApplyTheirOptions_data();
    void controlsShowAndApplyTheirOptions();
    void soundChoiceIsOneOfTwo();
    void enablingFollowsTheSwitches_data();
    void enablingFollowsTheSwitches();
    void reloadAppliesTheRulesAgain();
    void browsingFillsTheSoundFile_data();
    void browsingFillsTheSoundFile();
    void testButtonPlaysWhatThePageShows_data();
    void testButtonPlaysWhatThePageShows();
};

void TestMiscellaneousPage::isOneNotebookOfThreeTabs()
{
    Page p;
    auto *tabs = qobject_cast<QTabWidget *>(p.page.widget());
    QVERIFY(tabs);
    QCOMPARE(tabs->objectName(), QStringLiteral("generalPC"));
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Miscellaneous"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Saving Data"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Icon Menu"));
    QCOMPARE(p.page.helpTopic(), QStringLiteral("Miscellaneous_Tab"));
    // The minutes sit beside the first auto-save choice, inside its group.
    QCOMPARE(p.control(QStringLiteral("asse"))->parentWidget(), p.control(QStringLiteral("autosaverg")));
}

void TestMiscellaneousPage::everyControlHasAName()
{
    Page p;
    p.load({{Option::CaptureSound, true}, {Option::CaptureSoundFile, true}, {Option::MenuHighlight, true}});
    auto *tabs = qobject_cast<QTabWidget *>(p.page.widget());
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QCOMPARE(unnamedControls(tabs->widget(i)), QStringList());
    }
    QCOMPARE(unnamedControls(tabs), QStringList());
}

void TestMiscellaneousPage::controlsShowAndApplyTheirOptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Option>("option");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("shown");
    QTest::addColumn<QVariant>("changed");
    const auto row = [](const char *name, Option option, const QVariant &stored, const QVariant &changed) {
        QTest::newRow(name) << QString::fromLatin1(name) << option << stored << stored << changed;
    };
    // Each stored value differs from the form's first state, so the load shows.
    row("startcb", Option::StartAtLogin, false, true);
    row("savecb", Option::SaveOnExit, false, true);
    row("systraycb", Option::MinimiseToTray, false, true);
    row("totdcb", Option::TipOnStart, false, true);
    row("delcb", Option::ConfirmItemDelete, true, false);
    row("cbdelcat", Option::ConfirmCategoryDelete, false, true);
    row("playsoundcb", Option::CaptureSound, true, false);
    row("soundedit", Option::SoundFile, QStringLiteral("/sounds/ding.wav"), QStringLiteral("/other.wav"));
    row("autosaverg", Option::AutoSaveChoice, 2, 1);
    row("asse", Option::AutoSaveMinutes, 45, 7);
    row("backupcb", Option::BackupAfterLoad, false, true);
    row("cise", Option::CopyMenuSize, 65, 1);
    row("margincb", Option::MenuMarginBar, false, true);
    row("viewnscb", Option::MenuHighlight, true, false);
    row("msrg", Option::MenuHighlightStyle, 1, 0);
    // Values no control can show are brought into its range.
    QTest::newRow("asse above its range") << QStringLiteral("asse") << Option::AutoSaveMinutes << QVariant(500)
                                          << QVariant(60) << QVariant(60);
    QTest::newRow("asse below its range") << QStringLiteral("asse") << Option::AutoSaveMinutes << QVariant(-4)
                                          << QVariant(1) << QVariant(1);
    QTest::newRow("cise below its range") << QStringLiteral("cise") << Option::CopyMenuSize << QVariant(0)
                                          << QVariant(1) << QVariant(1);
    QTest::newRow("msrg beyond its choices") << QStringLiteral("msrg") << Option::MenuHighlightStyle << QVariant(7)
                                             << QVariant(1) << QVariant(1);
    QTest::newRow("autosaverg before its choices") << QStringLiteral("autosaverg") << Option::AutoSaveChoice
                                                   << QVariant(-1) << QVariant(0) << QVariant(0);
}

void TestMiscellaneousPage::controlsShowAndApplyTheirOptions()
{
    QFETCH(QString, name);
    QFETCH(Option, option);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, shown);
    QFETCH(QVariant, changed);
    Page p;
    // Every control usable, so the user can change each.
    p.load({{option, stored}, {Option::CaptureSound, true}, {Option::CaptureSoundFile, true},
            {Option::MenuHighlight, true}});
    QCOMPARE(p.shown(name), shown);
    p.change(name, changed);
    p.page.apply(p.options);
    QCOMPARE(p.options.value(option), changed);
}

void TestMiscellaneousPage::soundChoiceIsOneOfTwo()
{
    Page p;
    p.load({{Option::CaptureSound, true}, {Option::CaptureSoundFile, true}});
    QVERIFY(p.shown(QStringLiteral("soundrb")).toBool());
    QVERIFY(!p.shown(QStringLiteral("beeprb")).toBool());
    p.change(QStringLiteral("beeprb"), true);
    QVERIFY(!p.shown(QStringLiteral("soundrb")).toBool());
    p.page.apply(p.options);
    QVERIFY(p.options.flag(Option::CaptureBeep));
    QVERIFY(!p.options.flag(Option::CaptureSoundFile));
    p.load({{Option::CaptureBeep, true}});
    QVERIFY(p.shown(QStringLiteral("beeprb")).toBool());
    QVERIFY(!p.shown(QStringLiteral("soundrb")).toBool());
}

void TestMiscellaneousPage::enablingFollowsTheSwitches_data()
{
    QTest::addColumn<Settings>("stored");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<QStringList>("unchecked");
    const QStringList soundControls{QStringLiteral("soundrb"), QStringLiteral("beeprb"), QStringLiteral("soundedit"),
                                    QStringLiteral("browsesp"), QStringLiteral("testbtn")};
    const QStringList choice{QStringLiteral("soundrb"), QStringLiteral("beeprb"), QStringLiteral("testbtn")};
    const QStringList file{QStringLiteral("soundedit"), QStringLiteral("browsesp")};
    const Settings soundOn{{Option::CaptureSound, true}};
    const Settings fileOn{{Option::CaptureSound, true}, {Option::CaptureSoundFile, true}};

    QTest::newRow("first run: no sound") << Settings{} << QStringList() << QStringList() << soundControls
                                         << QStringList();
    QTest::newRow("loaded: beep") << soundOn << QStringList() << choice << file << QStringList();
    QTest::newRow("loaded: sound file") << fileOn << QStringList() << soundControls << QStringList() << QStringList();
    QTest::newRow("sound switched on") << Settings{} << QStringList{QStringLiteral("playsoundcb=1")} << choice << file
                                       << QStringList();
    QTest::newRow("sound switched on, file chosen")
        << Settings{} << QStringList{QStringLiteral("playsoundcb=1"), QStringLiteral("soundrb=1")} << soundControls
        << QStringList() << QStringList();
    QTest::newRow("file chosen, sound switched off")
        << fileOn << QStringList{QStringLiteral("playsoundcb=0")} << QStringList() << soundControls << QStringList();
    QTest::newRow("beep chosen again") << fileOn << QStringList{QStringLiteral("beeprb=1")} << choice << file
                                       << QStringList();

    const QString hide = QStringLiteral("hidecb");
    QTest::newRow("first run: hiding usable") << Settings{} << QStringList() << QStringList{hide} << QStringList()
                                              << QStringList();
    QTest::newRow("loaded without the tray: hiding off")
        << Settings{{Option::MinimiseToTray, false}, {Option::HideFromTaskbar, true}} << QStringList() << QStringList()
        << QStringList{hide} << QStringList{hide};
    QTest::newRow("tray switched off: hiding off") << Settings{} << QStringList{QStringLiteral("systraycb=0")}
                                                   << QStringList() << QStringList{hide} << QStringList{hide};
    QTest::newRow("tray back on: hiding usable, still off")
        << Settings{} << QStringList{QStringLiteral("systraycb=0"), QStringLiteral("systraycb=1")} << QStringList{hide}
        << QStringList() << QStringList{hide};

    const QString style = QStringLiteral("msrg");
    QTest::newRow("first run: no highlight kind") << Settings{} << QStringList() << QStringList() << QStringList{style}
                                                  << QStringList();
    QTest::newRow("loaded: highlight kind") << Settings{{Option::MenuHighlight, true}} << QStringList()
                                            << QStringList{style} << QStringList() << QStringList();
    QTest::newRow("highlight switched on") << Settings{} << QStringList{QStringLiteral("viewnscb=1")}
                                           << QStringList{style} << QStringList() << QStringList();
    QTest::newRow("highlight switched off") << Settings{{Option::MenuHighlight, true}}
                                            << QStringList{QStringLiteral("viewnscb=0")} << QStringList()
                                            << QStringList{style} << QStringList();
}

void TestMiscellaneousPage::enablingFollowsTheSwitches()
{
    QFETCH(Settings, stored);
    QFETCH(QStringList, actions);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QFETCH(QStringList, unchecked);
    Page p;
    p.load(stored);
    p.act(actions);
    for (const QString &name : enabled)
        QVERIFY2(p.control(name)->isEnabled(), qPrintable(name));
    for (const QString &name : disabled)
        QVERIFY2(!p.control(name)->isEnabled(), qPrintable(name));
    for (const QString &name : unchecked)
        QVERIFY2(!p.shown(name).toBool(), qPrintable(name));
    // What the page shows is what it applies.
    p.page.apply(p.options);
    if (unchecked.contains(QStringLiteral("hidecb")))
        QVERIFY(!p.options.flag(Option::HideFromTaskbar));
}

void TestMiscellaneousPage::reloadAppliesTheRulesAgain()
{
    Page p;
    p.load({{Option::CaptureSound, true}, {Option::CaptureSoundFile, true}, {Option::MenuHighlight, true}});
    QVERIFY(p.control(QStringLiteral("browsesp"))->isEnabled());
    QVERIFY(p.control(QStringLiteral("msrg"))->isEnabled());
    // The user's unapplied changes are dropped by the next load.
    p.change(QStringLiteral("systraycb"), false);
    p.load({{Option::MenuHighlight, false}});
    QVERIFY(!p.control(QStringLiteral("soundedit"))->isEnabled());
    QVERIFY(!p.control(QStringLiteral("browsesp"))->isEnabled());
    QVERIFY(!p.control(QStringLiteral("testbtn"))->isEnabled());
    QVERIFY(!p.control(QStringLiteral("msrg"))->isEnabled());
    QVERIFY(p.control(QStringLiteral("hidecb"))->isEnabled());
    QVERIFY(p.shown(QStringLiteral("hidecb")).toBool());
}

void TestMiscellaneousPage::browsingFillsTheSoundFile_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("shown");
    QTest::newRow("chosen") << QStringLiteral("/sounds/new ding.wav") << QStringLiteral("/sounds/new ding.wav");
    QTest::newRow("cancelled") << QString() << QStringLiteral("/sounds/ding.wav");
}

void TestMiscellaneousPage::browsingFillsTheSoundFile()
{
    QFETCH(QString, answer);
    QFETCH(QString, shown);
    Page p;
    p.load({{Option::CaptureSound, true}, {Option::CaptureSoundFile, true},
            {Option::SoundFile, QStringLiteral("/sounds/ding.wav")}});
    p.dialogs.answers << answer;
    p.control<QAbstractButton>(QStringLiteral("browsesp"))->click();
    QCOMPARE(p.dialogs.asked, QStringList{QStringLiteral("Open a WAV|/sounds/ding.wav")});
    const QString filter = p.dialogs.filters.value(0);
    QVERIFY2(filter.startsWith(QStringLiteral("WAV files (*.wav)")), qPrintable(filter));
    QVERIFY2(filter.contains(QStringLiteral("(*)")), qPrintable(filter));
    QCOMPARE(p.shown(QStringLiteral("soundedit")).toString(), shown);
}

void TestMiscellaneousPage::testButtonPlaysWhatThePageShows_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QStringList>("played");
    // The page's state counts, applied or not; the options stay at the first run's.
    QTest::newRow("beep") << QStringList{QStringLiteral("playsoundcb=1")} << 1 << QStringList();
    QTest::newRow("sound file")
        << QStringList{QStringLiteral("playsoundcb=1"), QStringLiteral("soundrb=1"),
                       QStringLiteral("soundedit=/sounds/ding.wav")}
        << 0 << QStringList{QStringLiteral("/sounds/ding.wav")};
    QTest::newRow("no sound file")
        << QStringList{QStringLiteral("playsoundcb=1"), QStringLiteral("soundrb=1"), QStringLiteral("soundedit= ")}
        << 0 << QStringList();
    QTest::newRow("file entered, then beep chosen")
        << QStringList{QStringLiteral("playsoundcb=1"), QStringLiteral("soundrb=1"),
                       QStringLiteral("soundedit=/sounds/ding.wav"), QStringLiteral("beeprb=1")}
        << 1 << QStringList();
}

void TestMiscellaneousPage::testButtonPlaysWhatThePageShows()
{
    QFETCH(QStringList, actions);
    QFETCH(int, beeps);
    QFETCH(QStringList, played);
    Page p;
    p.load({});
    p.act(actions);
    p.control<QAbstractButton>(QStringLiteral("testbtn"))->click();
    QCOMPARE(p.desktop.beeps, beeps);
    QCOMPARE(p.desktop.sounds, played);
}

QTEST_MAIN(TestMiscellaneousPage)
#include "tst_miscellaneouspage.moc"

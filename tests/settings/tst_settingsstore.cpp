#include "settings/options.h"
#include "settings/optiontable.h"
#include "settings/settingsstore.h"
#include "common/programerror.h"

#include <QFile>
#include <QMultiHash>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void tableNamesEveryOptionOnce();
    void firstRunWritesFormDefaults();
    void storedValuesAreClamped_data();
    void storedValuesAreClamped();
    void olderVersionGetsReadDefaults();
    void badValueFallsBackAlone_data();
    void badValueFallsBackAlone();
    void everyBadValueIsNamedOnce();
    void firstTimeOneMeansFirstRun();
    void autostartFollowsStart();
    void loadNotifiesLikeClicks();
    void radioOptionsExcludeEachOther();

private:
    void write(const QMap<QString, QVariant> &values);
    SettingsStore store() const;
    QString ini() const { return m_dir->filePath(QStringLiteral("Halvorik/Scrapkeeper1.0.conf")); }
    QString autostart() const { return m_dir->filePath(QStringLiteral("autostart/scrapkeeper.desktop")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

SettingsStore TestSettingsStore::store() const
{
    return SettingsStore(ini(), QStringLiteral("/opt/sk dir/scrapkeeper"), m_dir->filePath(QStringLiteral("data")),
                         autostart());
}

void TestSettingsStore::write(const QMap<QString, QVariant> &values)
{
    // A complete set as a save writes it, then the changes of the case.
    Options defaults;
    SettingsStore s = store();
    s.save(defaults, {3, 0}, QStringLiteral("/data/mine.db"));
    QSettings settings(ini(), QSettings::IniFormat);
    settings.setValue("currdb", "/data/mine.db");
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (it.value().isValid())
            settings.setValue(it.key(), it.value());
        else
            settings.remove(it.key());
    }
}

void TestSettingsStore::tableNamesEveryOptionOnce()
{
    // Options are looked up by their place in the table, and a load reads each one once.
    QSet<QString> names;
    QMultiHash<Option, int> reads;
    for (const Option option : OptionTable::readOrderBeforeVersion())
        reads.insert(option, 0);
    for (const Option option : OptionTable::readOrderAfterVersion())
        reads.insert(option, 1);
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        const Option option = Option(i);
        const OptionDef &def = OptionTable::def(option);
        QCOMPARE(def.option, option);
        QCOMPARE(&def, &OptionTable::all()[i]);
        QVERIFY2(!names.contains(QLatin1String(def.name)), def.name);
        names.insert(QLatin1String(def.name));
        QVERIFY2(OptionTable::find(QString::fromLatin1(def.name)) == option, def.name);
        QVERIFY2(reads.count(option) == 1, def.name);
    }
    QCOMPARE(OptionTable::all().size(), kOptionCount);
    QVERIFY(!OptionTable::find(u"CurrentVer"));
}

void TestSettingsStore::firstRunWritesFormDefaults()
{
    Options options;
    SettingsStore s = store();
    QVERIFY(s.load(options, {1, 0}));
    QSettings settings(ini(), QSettings::IniFormat);
    QCOMPARE(settings.value("FirstTime").toInt(), 0);
    for (const OptionDef &def : OptionTable::all()) {
        const QString name = QString::fromLatin1(def.name);
        QVERIFY2(settings.contains(name), def.name);
        if (def.type == OptionDef::String)
            QCOMPARE(settings.value(name).toString(), def.formDefault.toString());
        else
            QCOMPARE(settings.value(name).toInt(), def.formDefault.toInt());
    }
    QCOMPARE(settings.value("hkindex").toInt(), 49);
    QCOMPARE(settings.value("wedit").toInt(), 250);
    QCOMPARE(settings.value("CurrentVer").toString(), QStringLiteral("2.3"));
    QCOMPARE(settings.value("CurrentPath").toString(), QStringLiteral("/opt/sk dir/scrapkeeper"));
    QCOMPARE(settings.value("currdb").toString(), m_dir->filePath(QStringLiteral("data/data.db")));
    QFile entry(autostart());
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(entry.readAll().contains("Exec=\"/opt/sk dir/scrapkeeper\"\n"));
}

void TestSettingsStore::storedValuesAreClamped_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Option>("option");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("read");
    QTest::newRow("catcombo beyond categories") << "catcombo" << Option::CurrentCategory << QVariant(7) << QVariant(0);
    QTest::newRow("catcombo negative") << "catcombo" << Option::CurrentCategory << QVariant(-1) << QVariant(0);
    QTest::newRow("catcombo in range") << "catcombo" << Option::CurrentCategory << QVariant(2) << QVariant(2);
    QTest::newRow("text category beyond") << "catcombo3" << Option::TextCategory << QVariant(3) << QVariant(0);
    QTest::newRow("wedit 3") << "wedit" << Option::ListWidth << QVariant(3) << QVariant(50);
    QTest::newRow("wedit 5") << "wedit" << Option::ListWidth << QVariant(5) << QVariant(5);
    QTest::newRow("plheight 0") << "plheight" << Option::ListRows << QVariant(0) << QVariant(1);
    QTest::newRow("asse 90") << "asse" << Option::AutoSaveMinutes << QVariant(90) << QVariant(60);
    QTest::newRow("copyitem 99") << "copyitem" << Option::CopyMenuSize << QVariant(99) << QVariant(65);
    QTest::newRow("bool any non-zero") << "dup" << Option::PreventDuplicates << QVariant(7) << QVariant(true);
}

void TestSettingsStore::storedValuesAreClamped()
{
    QFETCH(QString, name);
    QFETCH(Option, option);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, read);
    write({{name, stored}});
    Options options;
    SettingsStore s = store();
    QVERIFY(!s.load(options, {3, 0}));
    QCOMPARE(options.value(option), read);
}

void TestSettingsStore::olderVersionGetsReadDefaults()
{
    write({{"ctrl", {}}, {"hkindex", {}}, {"backup", {}}, {"tooltip", {}}, {"CurrentVer", {}}, {"CurrentPath", {}},
           {"soundedit", {}}, {"prevfile", {}}, {"typesearch", {}}});
    Options options;
    options.set(Option::HotkeyCtrl, false);
    options.set(Option::TypingSearches, true);
    options.set(Option::HotkeyKey, 3);
    options.set(Option::BackupAfterLoad, false);
    SettingsStore s = store();
    QVERIFY(!s.load(options, {3, 0}));
    QCOMPARE(options.flag(Option::HotkeyCtrl), true);
    QCOMPARE(options.number(Option::HotkeyKey), 49);
    QCOMPARE(options.flag(Option::BackupAfterLoad), true);
    QCOMPARE(options.flag(Option::ItemTooltip), true);
    // Typing searched nothing before: an older file keeps the letter jumps.
    QCOMPARE(options.flag(Option::TypingSearches), false);
    QVERIFY(!s.unreadableValues().contains(QStringLiteral("typesearch")));
    QVERIFY(s.readBackupSetting());
    QSettings settings(ini(), QSettings::IniFormat);
    QCOMPARE(settings.value("CurrentVer").toString(), QStringLiteral("2.3"));
}

void TestSettingsStore::badValueFallsBackAlone_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Option>("option");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("fallback");
    const QVariant missing;
    QTest::newRow("missing without read default") << "showtip" << Option::TipOnStart << missing << QVariant(true);
    QTest::newRow("text where a flag belongs") << "showtip" << Option::TipOnStart << QVariant("yes") << QVariant(true);
    QTest::newRow("index beyond 32 bits") << "catcombo3" << Option::TextCategory << QVariant("99999999999999")
                                           << QVariant(0);
    QTest::newRow("flag beyond 32 bits") << "lba" << Option::QuickListActive << QVariant("-99999999999999")
                                          << QVariant(true);
    QTest::newRow("list of values") << "asse" << Option::AutoSaveMinutes << QVariant(QStringList{"1", "2"})
                                     << QVariant(2);
    // The hotkey keeps the default key, not the list's first entry (Backspace).
    QTest::newRow("hotkey key beyond the list") << "hkindex" << Option::HotkeyKey << QVariant(99999) << QVariant(49);
    QTest::newRow("hotkey key just past the list") << "hkindex" << Option::HotkeyKey << QVariant(95) << QVariant(49);
    QTest::newRow("hotkey key negative") << "hkindex" << Option::HotkeyKey << QVariant(-1) << QVariant(49);
    QTest::newRow("hotkey key not a number") << "hkindex" << Option::HotkeyKey << QVariant("V") << QVariant(49);
}

void TestSettingsStore::badValueFallsBackAlone()
{
    QFETCH(QString, name);
    QFETCH(Option, option);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, fallback);
    // Values on both sides of the bad one in the read order, away from their defaults.
    write({{name, stored}, {"catcombo", 2}, {"global", 1}, {"del", 1}, {"wedit", 301}, {"prevfile", "/x.db"}});
    Options options;
    options.set(option, fallback.typeId() == QMetaType::Bool ? QVariant(!fallback.toBool()) : QVariant(7));
    SettingsStore s = store();
    QVERIFY(!s.load(options, {3, 0}));
    QCOMPARE(options.value(option), fallback);
    QCOMPARE(s.unreadableValues(), QStringList{name});
    QCOMPARE(options.number(Option::CurrentCategory), 2);
    QCOMPARE(options.flag(Option::GlobalPaste), true);
    QCOMPARE(options.flag(Option::ConfirmItemDelete), true);
    QCOMPARE(options.number(Option::ListWidth), 301);
    QCOMPARE(options.text(Option::PreviousDataFile), QStringLiteral("/x.db"));

    // The file now holds the default, so the next load has nothing to say.
    Options again;
    QVERIFY(!s.load(again, {3, 0}));
    QVERIFY(s.unreadableValues().isEmpty());
    QCOMPARE(again.value(option), fallback);
    QCOMPARE(again.number(Option::ListWidth), 301);
}

void TestSettingsStore::everyBadValueIsNamedOnce()
{
    write({{"hkindex", 99999}, {"catcombo3", "99999999999999"}, {"asse", "soon"}, {"tooltip", "x"}});
    Options options;
    SettingsStore s = store();
    QVERIFY(!s.load(options, {3, 0}));
    QCOMPARE(s.unreadableValues(), (QStringList{"hkindex", "catcombo3", "asse", "tooltip"}));
    QCOMPARE(options.number(Option::HotkeyKey), 49);
    QCOMPARE(options.number(Option::AutoSaveMinutes), 2);
    QCOMPARE(options.flag(Option::ItemTooltip), true);
    // A save after such a load keeps the default key, not the list's first.
    s.save(options, {3, 0}, QStringLiteral("/data/mine.db"));
    QCOMPARE(QSettings(ini(), QSettings::IniFormat).value("hkindex").toInt(), 49);
}

void TestSettingsStore::firstTimeOneMeansFirstRun()
{
    write({{"FirstTime", 1}, {"asse", 30}});
    Options options;
    SettingsStore s = store();
    QVERIFY(s.load(options, {3, 0}));
    QCOMPARE(options.number(Option::AutoSaveMinutes), 2);
    QCOMPARE(QSettings(ini(), QSettings::IniFormat).value("asse").toInt(), 2);
    QCOMPARE(QSettings(ini(), QSettings::IniFormat).value("currdb").toString(), QStringLiteral("/data/mine.db"));
}

void TestSettingsStore::autostartFollowsStart()
{
    Options options;
    SettingsStore s = store();
    s.save(options, {1, 0}, QStringLiteral("/d.db"));
    QVERIFY(QFile::exists(autostart()));
    options.set(Option::StartAtLogin, false);
    s.save(options, {1, 0}, QStringLiteral("/d.db"));
    QVERIFY(!QFile::exists(autostart()));
}

void TestSettingsStore::loadNotifiesLikeClicks()
{
    write({{"lba", 0}, {"dup", 1}});
    Options options;
    QSignalSpy spy(&options, &Options::changed);
    SettingsStore s = store();
    s.load(options, {3, 0});
    QList<Option> changed;
    for (const auto &args : spy)
        changed << args.at(0).value<Option>();
    QVERIFY(changed.contains(Option::QuickListActive));
    QVERIFY(!changed.contains(Option::PreventDuplicates));
}

void TestSettingsStore::radioOptionsExcludeEachOther()
{
    Options options;
    options.set(Option::TextToChosenCategory, true);
    QCOMPARE(options.flag(Option::TextToCurrentCategory), false);
    QCOMPARE(options.flag(Option::TextToEveryCategory), false);
    options.set(Option::TextToEveryCategory, true);
    QCOMPARE(options.flag(Option::TextToChosenCategory), false);
    QCOMPARE(options.flag(Option::ImagesToCurrentCategory), true);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"

#include "config/optionbinder.h"
#include "settings/options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

class TestOptionBinder : public QObject
{
    Q_OBJECT
private slots:
    void loadsAppliesAndFollowsTheRules();
};

void TestOptionBinder::loadsAppliesAndFollowsTheRules()
{
    Options options;
    options.set(Option::ListRows, 12);
    options.set(Option::SoundFile, QStringLiteral("/tmp/ding.wav"));
    QWidget page;
    auto *quickList = new QCheckBox(&page);
    auto *global = new QCheckBox(&page);
    auto *method = new QComboBox(&page);
    method->addItems({QStringLiteral("Ctrl-V"), QStringLiteral("keys"), QStringLiteral("insert")});
    auto *rows = new QSpinBox(&page);
    rows->setRange(1, 1000);
    auto *sound = new QLineEdit(&page);
    OptionBinder binder;
    binder.bind(quickList, Option::QuickListActive);
    binder.bind(global, Option::GlobalPaste);
    binder.bind(method, Option::GlobalPasteMethod);
    binder.bind(rows, Option::ListRows);
    binder.bind(sound, Option::SoundFile);

    binder.load(options);
    QVERIFY(quickList->isChecked());
    QCOMPARE(rows->value(), 12);
    QCOMPARE(sound->text(), QStringLiteral("/tmp/ding.wav"));
    // The sound file's switch is not on this page: the option decides.
    QVERIFY(!sound->isEnabled());
    QVERIFY(!method->isEnabled());

    // The page's own controls decide before they are applied.
    global->setChecked(true);
    QVERIFY(method->isEnabled());
    quickList->setChecked(false);
    QVERIFY(!method->isEnabled());
    QVERIFY(!global->isEnabled());

    method->setCurrentIndex(2);
    rows->setValue(5);
    binder.apply(options);
    QVERIFY(!options.flag(Option::QuickListActive));
    QVERIFY(options.flag(Option::GlobalPaste));
    QCOMPARE(options.number(Option::GlobalPasteMethod), 2);
    QCOMPARE(options.number(Option::ListRows), 5);
}

QTEST_MAIN(TestOptionBinder)
#include "tst_optionbinder.moc"

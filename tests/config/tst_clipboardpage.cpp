#include "config/pages/clipboardpage.h"
#include "settings/options.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTest>

#include "pagecontrols.h"
#include "unnamedcontrols.h"

Q_DECLARE_METATYPE(Option)

using namespace PageControls;
using Settings = QMap<Option, QVariant>;

namespace {

const QStringList kCategories{QStringLiteral("Mail"), QStringLiteral("Code"), QStringLiteral("Forms")};

struct Page
{
    Page()
        : page(&parent)
    {
        page.showCategoryNames(kCategories);
    }
    QWidget *find(const QString &name) { return control(page.widget(), name); }
    QComboBox *combo(const QString &name) { return qobject_cast<QComboBox *>(find(name)); }
    void load(const Settings &settings)
    {
        for (auto it = settings.begin(); it != settings.end(); ++it)
            options.set(it.key(), it.value());
        page.load(options);
    }

    QWidget parent;
    ClipboardPage page;
    Options options;
};

const QStringList kTextChoices{QStringLiteral("dupcb"), QStringLiteral("txtcurrrb"), QStringLiteral("txtspecrb"),
                               QStringLiteral("txtcatrb")};
const QStringList kImageChoices{QStringLiteral("bmpcurrrb"), QStringLiteral("bmpspecrb")};

} // namespace

class TestClipboardPage : public QObject
{
    Q_OBJECT
private slots:
    void frame();
    void controlsShowAndGiveBackTheirOptions_data();
    void controlsShowAndGiveBackTheirOptions();
    void destinationChoicesExcludeEachOther_data();
    void destinationChoicesExcludeEachOther();
    void enablingFollowsTheControls_data();
    void enablingFollowsTheControls();
    void categoryChoiceSurvivesRefills_data();
    void categoryChoiceSurvivesRefills();
    void categoryIndexOutOfRangeShowsTheFirst();
};

void TestClipboardPage::frame()
{
    Page p;
    auto *tabs = qobject_cast<QTabWidget *>(p.page.widget());
    QVERIFY(tabs);
    QCOMPARE(tabs->objectName(), QStringLiteral("ClipboardPC"));
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Clipboard"));
    QCOMPARE(p.page.title(), QStringLiteral("Clipboard Options"));
    QCOMPARE(p.page.helpTopic(), QStringLiteral("Clipboard_Tab"));
    for (const QString &name : {QStringLiteral("catcombo3"), QStringLiteral("catcombo2")}) {
        QStringList listed;
        for (int i = 0; i < p.combo(name)->count(); ++i)
            listed << p.combo(name)->itemText(i);
        QCOMPARE(listed, kCategories);
    }
    QCOMPARE(unnamedControls(tabs), QStringList());
}

void TestClipboardPage::controlsShowAndGiveBackTheirOptions_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Option>("option");
    QTest::addColumn<QVariant>("loaded");
    QTest::addColumn<QVariant>("changed");
    const auto both = [](const char *control, Option option) {
        QTest::addRow("%s on", control) << QString::fromLatin1(control) << option << QVariant(true) << QVariant(false);
        QTest::addRow("%s off", control) << QString::fromLatin1(control) << option << QVariant(false) << QVariant(true);
    };
    both("Autocb", Option::CaptureText);
    both("dupcb", Option::PreventDuplicates);
    both("cballowrtf", Option::CaptureRichText);
    both("cballowhtml", Option::CaptureHtml);
    both("Autobmpcb", Option::CaptureImages);
    QTest::newRow("text category") << QStringLiteral("catcombo3") << Option::TextCategory << QVariant(2) << QVariant(1);
    QTest::newRow("image category") << QStringLiteral("catcombo2") << Option::ImageCategory << QVariant(1)
                                    << QVariant(0);
}

void TestClipboardPage::controlsShowAndGiveBackTheirOptions()
{
    QFETCH(QString, control);
    QFETCH(Option, option);
    QFETCH(QVariant, loaded);
    QFETCH(QVariant, changed);
    Page p;
    checkShowsAndGivesBack(p, control, option, loaded, changed);
}

void TestClipboardPage::destinationChoicesExcludeEachOther_data()
{
    QTest::addColumn<Option>("loaded");
    QTest::addColumn<QString>("shownChoice");
    QTest::addColumn<QString>("click");
    QTest::addColumn<Option>("applied");
    QTest::addColumn<QList<Option>>("others");
    const QList<Option> text{Option::TextToCurrentCategory, Option::TextToChosenCategory, Option::TextToEveryCategory};
    const QList<Option> images{Option::ImagesToCurrentCategory, Option::ImagesToChosenCategory};
    const auto without = [](QList<Option> all, Option option) {
        all.removeAll(option);
        return all;
    };
    QTest::newRow("text: current to chosen")
        << Option::TextToCurrentCategory << QStringLiteral("txtcurrrb") << QStringLiteral("txtspecrb")
        << Option::TextToChosenCategory << without(text, Option::TextToChosenCategory);
    QTest::newRow("text: chosen to every")
        << Option::TextToChosenCategory << QStringLiteral("txtspecrb") << QStringLiteral("txtcatrb")
        << Option::TextToEveryCategory << without(text, Option::TextToEveryCategory);
    QTest::newRow("text: every to current")
        << Option::TextToEveryCategory << QStringLiteral("txtcatrb") << QStringLiteral("txtcurrrb")
        << Option::TextToCurrentCategory << without(text, Option::TextToCurrentCategory);
    QTest::newRow("images: current to chosen")
        << Option::ImagesToCurrentCategory << QStringLiteral("bmpcurrrb") << QStringLiteral("bmpspecrb")
        << Option::ImagesToChosenCategory << without(images, Option::ImagesToChosenCategory);
    QTest::newRow("images: chosen to current")
        << Option::ImagesToChosenCategory << QStringLiteral("bmpspecrb") << QStringLiteral("bmpcurrrb")
        << Option::ImagesToCurrentCategory << without(images, Option::ImagesToCurrentCategory);
}

void TestClipboardPage::destinationChoicesExcludeEachOther()
{
    QFETCH(Option, loaded);
    QFETCH(QString, shownChoice);
    QFETCH(QString, click);
    QFETCH(Option, applied);
    QFETCH(QList<Option>, others);
    Page p;
    p.load({{loaded, true}});
    QVERIFY(shown(p.find(shownChoice)).toBool());
    qobject_cast<QAbstractButton *>(p.find(click))->click();
    QVERIFY(!shown(p.find(shownChoice)).toBool());
    p.page.apply(p.options);
    QVERIFY(p.options.flag(applied));
    for (const Option other : others)
        QVERIFY(!p.options.flag(other));
}

void TestClipboardPage::enablingFollowsTheControls_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QStringList>("enabledBefore");
    QTest::addColumn<QStringList>("disabledBefore");
    QTest::addColumn<QString>("click");
    QTest::addColumn<QStringList>("enabledAfter");
    QTest::addColumn<QStringList>("disabledAfter");
    const QString rtf = QStringLiteral("cballowrtf");
    const QString textCategory = QStringLiteral("catcombo3");
    const QString imageCategory = QStringLiteral("catcombo2");
    QTest::newRow("text capture switched on")
        << Settings{{Option::CaptureText, false}, {Option::TextToChosenCategory, true}}
        << QStringList{rtf, QStringLiteral("Autocb")} << kTextChoices + QStringList{textCategory}
        << QStringLiteral("Autocb") << kTextChoices + QStringList{textCategory, rtf} << QStringList();
    QTest::newRow("text capture switched off leaves rich text alone")
        << Settings{{Option::CaptureText, true}, {Option::TextToChosenCategory, true}}
        << kTextChoices + QStringList{textCategory, rtf} << QStringList() << QStringLiteral("Autocb")
        << QStringList{rtf, QStringLiteral("Autobmpcb")} << kTextChoices + QStringList{textCategory};
    QTest::newRow("text capture on, to the current category")
        << Settings{{Option::CaptureText, false}, {Option::TextToCurrentCategory, true}} << QStringList{rtf}
        << kTextChoices + QStringList{textCategory} << QStringLiteral("Autocb") << kTextChoices
        << QStringList{textCategory};
    QTest::newRow("text to a chosen category")
        << Settings{{Option::CaptureText, true}, {Option::TextToCurrentCategory, true}} << kTextChoices
        << QStringList{textCategory} << QStringLiteral("txtspecrb") << QStringList{textCategory} << QStringList();
    QTest::newRow("text to every category")
        << Settings{{Option::CaptureText, true}, {Option::TextToChosenCategory, true}} << QStringList{textCategory}
        << QStringList() << QStringLiteral("txtcatrb") << kTextChoices << QStringList{textCategory};
    // An HTML copy's formatting is rich text: its option waits for rich text captures.
    QTest::newRow("rich text switched off")
        << Settings{{Option::CaptureRichText, true}} << QStringList{rtf, QStringLiteral("cballowhtml")} << QStringList()
        << rtf << QStringList{rtf} << QStringList{QStringLiteral("cballowhtml")};
    QTest::newRow("rich text switched on")
        << Settings{{Option::CaptureRichText, false}} << QStringList{rtf} << QStringList{QStringLiteral("cballowhtml")}
        << rtf << QStringList{rtf, QStringLiteral("cballowhtml")} << QStringList();
    QTest::newRow("image capture switched on")
        << Settings{{Option::CaptureImages, false}, {Option::ImagesToChosenCategory, true}} << QStringList{rtf}
        << kImageChoices + QStringList{imageCategory} << QStringLiteral("Autobmpcb")
        << kImageChoices + QStringList{imageCategory} << QStringList();
    QTest::newRow("image capture switched off")
        << Settings{{Option::CaptureImages, true}, {Option::ImagesToChosenCategory, true}}
        << kImageChoices + QStringList{imageCategory} << QStringList() << QStringLiteral("Autobmpcb")
        << QStringList{QStringLiteral("Autocb")} << kImageChoices + QStringList{imageCategory};
    QTest::newRow("images to the current category")
        << Settings{{Option::CaptureImages, true}, {Option::ImagesToChosenCategory, true}}
        << QStringList{imageCategory} << QStringList() << QStringLiteral("bmpcurrrb") << kImageChoices
        << QStringList{imageCategory};
}

void TestClipboardPage::enablingFollowsTheControls()
{
    QFETCH(Settings, settings);
    QFETCH(QStringList, enabledBefore);
    QFETCH(QStringList, disabledBefore);
    QFETCH(QString, click);
    QFETCH(QStringList, enabledAfter);
    QFETCH(QStringList, disabledAfter);
    Page p;
    checkEnablingFollowsAClick(p, settings, enabledBefore, disabledBefore, click, enabledAfter, disabledAfter);
}

void TestClipboardPage::categoryChoiceSurvivesRefills_data()
{
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("kept");
    QTest::newRow("same categories") << 1 << kCategories << 1;
    QTest::newRow("one added at the end") << 1 << kCategories + QStringList{QStringLiteral("News")} << 1;
    QTest::newRow("one added before it")
        << 1 << QStringList{QStringLiteral("News")} + kCategories << 2;
    QTest::newRow("one before it deleted") << 2 << kCategories.mid(1) << 1;
    QTest::newRow("it renamed")
        << 1 << QStringList{QStringLiteral("Mail"), QStringLiteral("Scripts"), QStringLiteral("Forms")} << 1;
    QTest::newRow("list now shorter than its place") << 2 << QStringList{QStringLiteral("Mail")} << 0;
    QTest::newRow("no categories left") << 2 << QStringList() << -1;
}

void TestClipboardPage::categoryChoiceSurvivesRefills()
{
    QFETCH(int, chosen);
    QFETCH(QStringList, names);
    QFETCH(int, kept);
    Page p;
    p.load({{Option::TextCategory, 0}, {Option::ImageCategory, 0}});
    for (const QString &name : {QStringLiteral("catcombo3"), QStringLiteral("catcombo2")})
        p.combo(name)->setCurrentIndex(chosen);
    p.page.showCategoryNames(names);
    for (const QString &name : {QStringLiteral("catcombo3"), QStringLiteral("catcombo2")})
        QCOMPARE(p.combo(name)->currentIndex(), kept);
    p.page.apply(p.options);
    // An empty list leaves the remembered index as it was.
    QCOMPARE(p.options.number(Option::TextCategory), kept < 0 ? 0 : kept);
    QCOMPARE(p.options.number(Option::ImageCategory), kept < 0 ? 0 : kept);
}

void TestClipboardPage::categoryIndexOutOfRangeShowsTheFirst()
{
    Page p;
    p.load({{Option::TextCategory, 7}, {Option::ImageCategory, -2}});
    QCOMPARE(p.combo(QStringLiteral("catcombo3"))->currentIndex(), 0);
    QCOMPARE(p.combo(QStringLiteral("catcombo2"))->currentIndex(), 0);
    p.page.apply(p.options);
    QCOMPARE(p.options.number(Option::TextCategory), 0);
    QCOMPARE(p.options.number(Option::ImageCategory), 0);
}

QTEST_MAIN(TestClipboardPage)
#include "tst_clipboardpage.moc"

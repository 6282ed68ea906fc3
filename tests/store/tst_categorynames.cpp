#include "store/addtextitementry.h"
#include "store/categorynames.h"
#include "store/collection.h"

#include <QTest>

#include "testsupport.h"

namespace {

const QString kNotAName =
    QStringLiteral("Please enter a valid category name (can contain numbers, but cannot be a number).");
const QString kNameTaken = QStringLiteral("There is already a category with this name, please re-enter.");

} // namespace

class TestCategoryNames : public QObject
{
    Q_OBJECT
private slots:
    void wholeNumbers_data();
    void wholeNumbers();
    void nameProblems_data();
    void nameProblems();
    void addTextItemEntry_data();
    void addTextItemEntry();
};

void TestCategoryNames::wholeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::newRow("digits") << "12" << true;
    QTest::newRow("plus sign") << "+12" << true;
    QTest::newRow("minus sign") << "-12" << true;
    QTest::newRow("leading spaces") << "  12" << true;
    QTest::newRow("hex") << "$1F" << true;
    QTest::newRow("hex lower case") << "$ff" << true;
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("32-bit maximum") << "2147483647" << true;
    QTest::newRow("32-bit minimum") << "-2147483648" << true;
    QTest::newRow("hex maximum") << "$7FFFFFFF" << true;
    QTest::newRow("the not-a-number value") << "-89" << false;
    QTest::newRow("the not-a-number value padded") << " -089" << false;
    QTest::newRow("89 is a number") << "89" << true;
    QTest::newRow("trailing space") << "12 " << false;
    QTest::newRow("trailing letter") << "12a" << false;
    QTest::newRow("above the maximum") << "2147483648" << false;
    QTest::newRow("below the minimum") << "-2147483649" << false;
    QTest::newRow("huge") << "99999999999999999999999" << false;
    QTest::newRow("hex too large") << "$80000000" << false;
    QTest::newRow("sign alone") << "-" << false;
    QTest::newRow("dollar alone") << "$" << false;
    QTest::newRow("signed hex") << "-$1F" << false;
    QTest::newRow("hex digits without dollar") << "1F" << false;
    QTest::newRow("leading tab") << "\t12" << false;
    QTest::newRow("space after sign") << "- 12" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("spaces") << "   " << false;
    QTest::newRow("non-ASCII digits") << QStringLiteral("\u0661\u0662") << false;
}

void TestCategoryNames::wholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, number);
    QCOMPARE(looksLikeWholeNumber(text), number);
}

void TestCategoryNames::nameProblems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("edited");  // empty: a new category
    QTest::addColumn<QString>("problem");
    QTest::newRow("empty") << "" << "" << kNotAName;
    QTest::newRow("blanks") << "   " << "" << kNotAName;
    QTest::newRow("tab and spaces") << " \t " << "" << kNotAName;
    QTest::newRow("number") << "12" << "" << kNotAName;
    QTest::newRow("signed number") << "+12" << "" << kNotAName;
    QTest::newRow("padded number") << "  12" << "" << kNotAName;
    QTest::newRow("hex number") << "$1F" << "" << kNotAName;
    QTest::newRow("number when editing") << "12" << "Work" << kNotAName;
    QTest::newRow("number then space") << "12 " << "" << QString();
    QTest::newRow("number then letter") << "12a" << "" << QString();
    QTest::newRow("the not-a-number value") << "-89" << "" << QString();
    QTest::newRow("beyond 32 bits") << "2147483648" << "" << QString();
    QTest::newRow("new with an existing name") << "Work" << "" << kNameTaken;
    QTest::newRow("new, other letter case") << "work" << "" << QString();
    QTest::newRow("new, trailing blank") << "Work " << "" << QString();
    QTest::newRow("new, markup") << "<b>&amp;</b>" << "" << QString();
    QTest::newRow("edit keeps its name") << "Work" << "Work" << QString();
    QTest::newRow("edit takes another's name") << "Home" << "Work" << kNameTaken;
    QTest::newRow("edit, other letter case") << "HOME" << "Work" << QString();
    QTest::newRow("edit to a new name") << "Errands" << "Work" << QString();
}

void TestCategoryNames::nameProblems()
{
    QFETCH(QString, name);
    QFETCH(QString, edited);
    QFETCH(QString, problem);
    Collection collection;
    collection.appendCategory(QStringLiteral("Work"));
    collection.appendCategory(QStringLiteral("Home"));
    const CategoryNode *editedNode = edited.isEmpty() ? nullptr : collection.findCategory(edited);
    QCOMPARE(categoryNameProblem(collection, name, editedNode), problem);
}

void TestCategoryNames::addTextItemEntry_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    const QString add = QStringLiteral("Add Text Item...");
    const QString full = QStringLiteral("Category locked; limit reached");
    QTest::newRow("locked and full") << 3 << true << 3 << full << false;
    QTest::newRow("locked, room left") << 3 << true << 2 << add << true;
    QTest::newRow("full, not locked") << 3 << false << 3 << add << true;
    QTest::newRow("no limit") << 0 << false << 5 << add << true;
}

void TestCategoryNames::addTextItemEntry()
{
    QFETCH(int, limit);
    QFETCH(bool, locked);
    QFETCH(int, items);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    CategoryNode node;
    node.rec.limit = limit;
    node.rec.lockAtLimit = locked;
    for (int i = 0; i < items; ++i)
        node.items.push_back(std::make_unique<Item>(TestSupport::textItem(QString::number(i))));
    const AddTextItemEntry entry = ::addTextItemEntry(&node);
    QCOMPARE(entry.caption, caption);
    QCOMPARE(entry.enabled, enabled);
}

QTEST_GUILESS_MAIN(TestCategoryNames)
#include "tst_categorynames.moc"

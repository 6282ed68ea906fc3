#include "config/dialogs/quickadddialog.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "unnamedcontrols.h"

namespace {

template<typename Control>
Control *control(const QWidget &dialog, const QString &name)
{
    auto *found = dialog.findChild<Control *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

template<typename Control>
Control *rowControl(const QWidget &dialog, const char *name, int row)
{
    return control<Control>(dialog, QLatin1String(name) + QString::number(row));
}

QList<bool> addBoxes(const QuickAddDialog &dialog)
{
    QList<bool> checked;
    for (int row = 1; row <= QuickAddDialog::RowCount; ++row)
        checked << rowControl<QCheckBox>(dialog, "cb", row)->isChecked();
    return checked;
}

void leave(QWidget *widget)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}

} // namespace

class TestQuickAddDialog : public QObject
{
    Q_OBJECT
private slots:
    void startsEmpty();
    void changeChecksItsRow_data();
    void changeChecksItsRow();
    void actionEnablesCountAndExtraText_data();
    void actionEnablesCountAndExtraText();
    void emptyExtraTextFallsBackToNone();
    void rowsAsTyped();
    void buttons();
    void everyControlHasAnAccessibleName();
};

void TestQuickAddDialog::startsEmpty()
{
    QuickAddDialog dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Quick Add"));
    QCOMPARE(addBoxes(dialog), QList<bool>(8, false));
    for (int row = 1; row <= 8; ++row) {
        auto *action = rowControl<QComboBox>(dialog, "actioncombo", row);
        QCOMPARE(action->currentText(), QStringLiteral("None"));
        QCOMPARE(action->count(), 6);
        QCOMPARE(action->itemText(5), QStringLiteral("Specify extra text"));
        auto *count = rowControl<QSpinBox>(dialog, "actionse", row);
        QCOMPARE(count->value(), 1);
        QCOMPARE(count->minimum(), 1);
        QCOMPARE(count->maximum(), 9);
        QVERIFY(!count->isEnabled());
        auto *extra = rowControl<QLineEdit>(dialog, "extraedit", row);
        QVERIFY(!extra->isEnabled());
        QCOMPARE(extra->palette().color(QPalette::Disabled, QPalette::Base), QColor(192, 192, 192));
    }
    QStringList headings;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        headings << label->text();
    for (const char *heading : {"Add?", "Text (to be pasted)", "Action to perform after paste", "How many times?"})
        QVERIFY2(headings.contains(QLatin1String(heading)), heading);
}

void TestQuickAddDialog::changeChecksItsRow_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("row");
    QTest::newRow("text, row 1") << "text" << 1;
    QTest::newRow("text, row 8") << "text" << 8;
    QTest::newRow("action, row 3") << "action" << 3;
    QTest::newRow("count, row 4") << "count" << 4;
    QTest::newRow("extra text, row 6") << "extra" << 6;
}

void TestQuickAddDialog::changeChecksItsRow()
{
    QFETCH(QString, change);
    QFETCH(int, row);
    QuickAddDialog dialog;
    dialog.show();
    if (change == QLatin1String("text")) {
        QTest::keyClicks(rowControl<QLineEdit>(dialog, "Text", row), QStringLiteral("abc"));
    } else if (change == QLatin1String("action")) {
        rowControl<QComboBox>(dialog, "actioncombo", row)->setCurrentIndex(2);
    } else if (change == QLatin1String("count")) {
        rowControl<QComboBox>(dialog, "actioncombo", row)->setCurrentIndex(1);
        rowControl<QCheckBox>(dialog, "cb", row)->setChecked(false);
        rowControl<QSpinBox>(dialog, "actionse", row)->setValue(4);
    } else {
        rowControl<QComboBox>(dialog, "actioncombo", row)->setCurrentIndex(5);
        rowControl<QCheckBox>(dialog, "cb", row)->setChecked(false);
        QTest::keyClicks(rowControl<QLineEdit>(dialog, "extraedit", row), QStringLiteral("x"));
    }
    QList<bool> expected(8, false);
    expected[row - 1] = true;
    QCOMPARE(addBoxes(dialog), expected);
}

void TestQuickAddDialog::actionEnablesCountAndExtraText_data()
{
    QTest::addColumn<int>("action");
    for (int action = 0; action <= 5; ++action)
        QTest::addRow("action %d", action) << action;
}

void TestQuickAddDialog::actionEnablesCountAndExtraText()
{
    QFETCH(int, action);
    QuickAddDialog dialog;
    dialog.show();
    const QColor windowBackground = dialog.palette().color(QPalette::Active, QPalette::Base);
    auto *combo = rowControl<QComboBox>(dialog, "actioncombo", 2);
    auto *extra = rowControl<QLineEdit>(dialog, "extraedit", 2);
    // From the extra-text action, so every row also shows the way back.
    combo->setCurrentIndex(5);
    combo->setCurrentIndex(action);
    QCOMPARE(rowControl<QSpinBox>(dialog, "actionse", 2)->isEnabled(), action > 0);
    QCOMPARE(extra->isEnabled(), action == 5);
    if (action == 5) {
        QCOMPARE(extra->palette().color(QPalette::Active, QPalette::Base), windowBackground);
        QCOMPARE(dialog.focusWidget(), extra);
    } else {
        QCOMPARE(extra->palette().color(QPalette::Disabled, QPalette::Base), QColor(192, 192, 192));
    }
    QVERIFY(rowControl<QCheckBox>(dialog, "cb", 2)->isChecked());
    QVERIFY(!rowControl<QSpinBox>(dialog, "actionse", 3)->isEnabled());
}

void TestQuickAddDialog::emptyExtraTextFallsBackToNone()
{
    QuickAddDialog dialog;
    dialog.show();
    auto *combo = rowControl<QComboBox>(dialog, "actioncombo", 4);
    auto *extra = rowControl<QLineEdit>(dialog, "extraedit", 4);
    combo->setCurrentIndex(5);
    leave(extra);
    QCOMPARE(combo->currentIndex(), 0);
    QVERIFY(!extra->isEnabled());

    combo->setCurrentIndex(5);
    QTest::keyClicks(extra, QStringLiteral("done"));
    leave(extra);
    QCOMPARE(combo->currentIndex(), 5);

    // Another action is left alone, even with an empty extra text.
    combo->setCurrentIndex(2);
    extra->clear();
    leave(extra);
    QCOMPARE(combo->currentIndex(), 2);
}

void TestQuickAddDialog::rowsAsTyped()
{
    QuickAddDialog dialog;
    dialog.show();
    QTest::keyClicks(rowControl<QLineEdit>(dialog, "Text", 2), QStringLiteral("second"));
    rowControl<QComboBox>(dialog, "actioncombo", 5)->setCurrentIndex(5);
    QTest::keyClicks(rowControl<QLineEdit>(dialog, "extraedit", 5), QStringLiteral("tail"));
    rowControl<QSpinBox>(dialog, "actionse", 5)->setValue(3);
    const QList<QuickAddRow> rows = dialog.rows();
    QCOMPARE(rows.size(), 8);
    QVERIFY(rows[1].add);
    QCOMPARE(rows[1].text, QStringLiteral("second"));
    QCOMPARE(rows[1].action, 0);
    QVERIFY(rows[4].add);
    QVERIFY(rows[4].text.isEmpty());
    QCOMPARE(rows[4].action, 5);
    QCOMPARE(rows[4].extraText, QStringLiteral("tail"));
    QCOMPARE(rows[4].count, 3);
    QCOMPARE(quickAddItems(rows).size(), 2);
    QCOMPARE(quickAddItems(rows)[1].alias, QStringLiteral("<blank>"));
}

void TestQuickAddDialog::buttons()
{
    QuickAddDialog dialog;
    QSignalSpy help(&dialog, &QuickAddDialog::helpRequested);
    dialog.show();
    control<QPushButton>(dialog, "Helpbtn")->click();
    QCOMPARE(help.size(), 1);
    QCOMPARE(help.first().first().toString(), QStringLiteral("Quick Add"));
    QVERIFY(dialog.isVisible());

    control<QPushButton>(dialog, "OKbtn")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    dialog.show();
    control<QPushButton>(dialog, "Cancelbtn")->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    dialog.show();
    dialog.setResult(QDialog::Accepted);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestQuickAddDialog::everyControlHasAnAccessibleName()
{
    QuickAddDialog dialog;
    dialog.show();
    QCOMPARE(unnamedControls(&dialog), QStringList());
}

QTEST_MAIN(TestQuickAddDialog)
#include "tst_quickadddialog.moc"


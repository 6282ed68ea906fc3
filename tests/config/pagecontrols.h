#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>
#include <QTest>
#include <QVariant>
#include <QWidget>

// What an option page's control shows, read and set the way a user sees and
// changes it: a box's check, a list's chosen entry, a spin box's number, the
// position of a group's chosen radio button.
namespace PageControls {

inline QWidget *control(QWidget *page, const QString &name)
{
    return page->findChild<QWidget *>(name);
}

inline QList<QRadioButton *> radios(QGroupBox *group)
{
    return group->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
}

inline QVariant shown(QWidget *widget)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->isChecked();
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentIndex();
    if (auto *spin = qobject_cast<QSpinBox *>(widget))
        return spin->value();
    if (auto *group = qobject_cast<QGroupBox *>(widget)) {
        const QList<QRadioButton *> buttons = radios(group);
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons[i]->isChecked())
                return i;
        }
        return -1;
    }
    return {};
}

inline void change(QWidget *widget, const QVariant &value)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        button->setChecked(value.toBool());
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        combo->setCurrentIndex(value.toInt());
    } else if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
        spin->setValue(value.toInt());
    } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
        radios(group).at(value.toInt())->setChecked(true);
    }
}

// The names among `names` whose controls are enabled (or not) as `enabled` says.
inline QStringList whereEnabledIs(QWidget *page, const QStringList &names, bool enabled)
{
    QStringList found;
    for (const QString &name : names) {
        QWidget *widget = control(page, name);
        if (!widget)
            found << name + QStringLiteral(" (missing)");
        else if (widget->isEnabled() == enabled)
            found << name;
    }
    return found;
}

// A control shows its option when the page loads, keeps a change to itself
// until the page is applied, and shows the option again when the page loads
// once more (as Cancel does). `page` is a fixture with load(settings),
// find(name), options and page.
template <typename PageFixture>
void checkShowsAndGivesBack(PageFixture &p, const QString &name, auto option, const QVariant &loaded,
                            const QVariant &changed)
{
    p.load({{option, loaded}});
    QWidget *widget = p.find(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(shown(widget), loaded);

    change(widget, changed);
    QCOMPARE(p.options.value(option), loaded);
    p.page.apply(p.options);
    QCOMPARE(p.options.value(option), changed);

    change(widget, loaded);
    p.page.load(p.options);
    QCOMPARE(shown(widget), changed);
}

// The controls named are enabled or disabled as the rules say after the
// page loads `settings`, after a click on `click`, and again after the page
// loads its options once more (as Cancel does: the click is undone, and so
// are its effects).
template <typename PageFixture, typename Settings>
void checkEnablingFollowsAClick(PageFixture &p, const Settings &settings, const QStringList &enabledBefore,
                                const QStringList &disabledBefore, const QString &click,
                                const QStringList &enabledAfter, const QStringList &disabledAfter)
{
    p.load(settings);
    QWidget *page = p.page.widget();
    QCOMPARE(whereEnabledIs(page, enabledBefore, false), QStringList());
    QCOMPARE(whereEnabledIs(page, disabledBefore, true), QStringList());

    qobject_cast<QAbstractButton *>(p.find(click))->click();
    QCOMPARE(whereEnabledIs(page, enabledAfter, false), QStringList());
    QCOMPARE(whereEnabledIs(page, disabledAfter, true), QStringList());

    p.page.load(p.options);
    QCOMPARE(whereEnabledIs(page, enabledBefore, false), QStringList());
    QCOMPARE(whereEnabledIs(page, disabledBefore, true), QStringList());
}

} // namespace PageControls

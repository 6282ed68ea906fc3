#include "tray/categorymenu.h"

#include "common/menutext.h"

#include <QActionGroup>

CategoryMenu::CategoryMenu(QWidget *parent)
    : QMenu(QStringLiteral("Set Current Category"), parent)
    , m_group(new QActionGroup(this))
{
    m_group->setExclusive(true);
}

void CategoryMenu::showCategories(const QStringList &names)
{
    for (QAction *old : m_group->actions()) {
        m_group->removeAction(old);
        delete old;
    }
    for (int i = 0; i < names.size(); ++i) {
        QAction *entry = addAction(MenuText::literal(names[i]));
        entry->setObjectName(QStringLiteral("MenuItem%1").arg(i));
        entry->setCheckable(true);
        m_group->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, i] {
            checkCategory(i);
            emit categoryChosen(i);
        });
    }
    checkCategory(0);
}

void CategoryMenu::checkCategory(int index)
{
    if (QAction *entry = m_group->actions().value(index))
        entry->setChecked(true);
}

int CategoryMenu::checkedCategory() const
{
    return int(m_group->actions().indexOf(m_group->checkedAction()));
}

#pragma once

#include <QMenu>

class QActionGroup;

// "Set Current Category": one radio entry per category in tree order.
class CategoryMenu : public QMenu
{
    Q_OBJECT
public:
    explicit CategoryMenu(QWidget *parent = nullptr);

    // Rebuilt whenever the category lists are refreshed; the first entry is checked.
    void showCategories(const QStringList &names);
    void checkCategory(int index);
    int checkedCategory() const;

signals:
    void categoryChosen(int index);

private:
    QActionGroup *m_group = nullptr;
};

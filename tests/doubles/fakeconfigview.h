#pragma once

#include "config/configview.h"

#include <QStringList>

// The configuration window's stand-in: it records what the program asked it
// to show, so the program's states are tested without widgets.
class FakeConfigView : public ConfigView
{
public:
    enum class Shown { Never, InFront, Away, Iconified };

    void showInFront() override { state = Shown::InFront; }
    void hideAway() override { state = Shown::Away; }
    void iconify() override { state = Shown::Iconified; }
    void showProgress(int percent) override { progress = percent; }
    void hideProgress() override { progress = -1; }
    void showDataFile(const QString &path) override { dataFile = path; }
    void showCategoryNames(const QStringList &names, int selected) override
    {
        categories = names;
        index = selected;
    }
    int categoryIndex() const override { return index; }
    QString categoryName() const override { return categories.value(index); }
    void setCategoryIndex(int chosen) override { index = chosen < categories.size() ? chosen : -1; }
    void showCategory(const CategoryNode *category) override { inTree = category; }
    const CategoryNode *categoryInTree() const override { return inTree; }
    void selectFirstNode() override {}
    void showListSetup() override { ++listSetupShown; }
    void collapseTree() override {}
    void setTreeUpdatesEnabled(bool enabled) override { treeFrozen = !enabled; }
    QWidget *dialogParent() override { return nullptr; }
    void showMenuPicture(QMenu *menu, const QIcon &) override { pictureMenu = menu; }
    void loadOptions(const Options &) override { ++optionsLoaded; }
    void applyOptions(Options &) override { ++optionsApplied; }
    void showOption(const Options &, Option) override {}

    Shown state = Shown::Never;
    int progress = -1;
    QString dataFile;
    QStringList categories;
    int index = -1;
    const CategoryNode *inTree = nullptr;
    int listSetupShown = 0;
    bool treeFrozen = false;
    QMenu *pictureMenu = nullptr;
    int optionsLoaded = 0;
    int optionsApplied = 0;
};

#pragma once

#include "settings/option.h"

#include <QString>
#include <QStringList>

struct CategoryNode;
class Options;
class QIcon;
class QMenu;
class QWidget;

// What the program asks of its configuration window: to come forward, go out
// of sight or iconify, and to show the data file, the category choice, the
// tree's selection and the loading progress. Tests drive the program through
// a stand-in of it, without widgets.
class ConfigView
{
public:
    virtual ~ConfigView() = default;

    virtual void showInFront() = 0;
    virtual void hideAway() = 0;
    virtual void iconify() = 0;

    virtual void showProgress(int percent) = 0;
    virtual void hideProgress() = 0;
    virtual void showDataFile(const QString &path) = 0;

    // The category combo: filled and set without announcing a choice.
    virtual void showCategoryNames(const QStringList &names, int selected) = 0;
    virtual int categoryIndex() const = 0;
    virtual QString categoryName() const = 0;
    virtual void setCategoryIndex(int index) = 0;

    // The tree of the "List Setup" page.
    virtual void showCategory(const CategoryNode *category) = 0;
    virtual const CategoryNode *categoryInTree() const = 0;
    virtual void selectFirstNode() = 0;
    virtual void showListSetup() = 0;    // its page selected, the tree focused
    virtual void collapseTree() = 0;
    virtual void setTreeUpdatesEnabled(bool enabled) = 0;

    // The option pages: each shows the options as they are, and gives back
    // what the user set on it.
    virtual void loadOptions(const Options &options) = 0;
    virtual void applyOptions(Options &options) = 0;
    virtual void showOption(const Options &options, Option option) = 0;

    // The picture in the button bar that opens `menu`; none while `menu` is null.
    virtual void showMenuPicture(QMenu *menu, const QIcon &picture) = 0;

    // The parent of the dialogs the program opens over the window.
    virtual QWidget *dialogParent() = 0;
};

// What the window tells the program the user asked for.
class ConfigViewHandler
{
public:
    virtual ~ConfigViewHandler() = default;
    virtual void acceptRequested() = 0;                     // OK
    virtual void discardRequested(bool keepWindowOpen) = 0;  // Cancel, or "Restore last saved changes"
    // The window's close button: true lets it close (the program is in the tray).
    virtual bool closeRequested() = 0;
    virtual void helpRequested(const QString &topic) = 0;
    // A page's help button: a text explaining its options.
    virtual void explanationRequested(const QString &text) = 0;
    virtual void categoryPicked(int index) = 0;
    // Selecting a node in the tree made its category (at this index of the combo) the current one.
    virtual void categoryChosenInTree(int index) = 0;
    // The window manager minimised or restored the window.
    virtual void windowStateChanged(bool minimised) = 0;

    // The group lists of the "List Setup" toolbar: a new one, one chosen in a
    // dialog or among the recent ones (newest first), the recent ones
    // forgotten, the collection saved under another name.
    virtual void newGroupListRequested() = 0;
    virtual void openGroupListRequested() = 0;
    virtual void recentGroupListChosen(int index) = 0;
    virtual void clearRecentGroupListsRequested() = 0;
    virtual void saveGroupListRequested() = 0;
    virtual QStringList recentGroupLists() const = 0;
};

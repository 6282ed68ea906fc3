#pragma once

#include "tray/traymenustyle.h"

#include <QMenu>

class CategoryMenu;
class Collection;
class CopyItemMenu;
class ItemClipboard;
class MessageBoxService;
class Options;
class QActionGroup;

// The tray menu: every command of the program without opening a window.
// The check marks are set by the program, which keeps them in step with
// the options; the entries forward what the user asks for.
class TrayMenu : public QMenu
{
    Q_OBJECT
public:
    TrayMenu(const Collection &collection, const Options &options, ItemClipboard &clipboard,
             MessageBoxService &messages, QWidget *parent = nullptr);

    QAction *quickListAction() const { return m_quickList; }
    QAction *autoTextAction() const { return m_autoText; }
    QAction *autoImagesAction() const { return m_autoImages; }
    QMenu *globalPasteMenu() const { return m_globalPaste; }
    CopyItemMenu *copyItemMenu() const { return m_copyItem; }
    CategoryMenu *categoryMenu() const { return m_categories; }

    // The entry of a global paste choice (GlobalPasteChoice's numbering) checked.
    void showGlobalPasteChoice(int choice);
    // Bar and selection from the options (at the settings' load and on OK).
    void applyLook();
    const TrayMenuStyle &menuStyle() const { return m_style; }

    static QString keyboardShortcutsText();
    void showKeyboardShortcuts();

signals:
    void configurationRequested();
    void tipOfTheDayRequested();
    void helpTopicsRequested();
    void examplePageRequested();
    void checkForUpdatesRequested();
    void aboutRequested();
    void exitRequested();
    void globalPasteChosen(int choice);

private:
    QAction *addEntry(QMenu *menu, const QString &caption, const char *name);
    void buildGlobalPasteMenu();

    const Options &m_options;
    MessageBoxService &m_messages;
    TrayMenuStyle m_style;
    QAction *m_quickList = nullptr;
    QAction *m_autoText = nullptr;
    QAction *m_autoImages = nullptr;
    QMenu *m_globalPaste = nullptr;
    QActionGroup *m_globalPasteGroup = nullptr;
    CopyItemMenu *m_copyItem = nullptr;
    CategoryMenu *m_categories = nullptr;
};

#include "auxiliary/tips.h"

#include <QStringList>

namespace {

const QStringList &all()
{
    static const QStringList tips = {
        QStringLiteral("Scrapkeeper keeps a history of what you copy or cut, so you can paste any of it again later, "
                       "anywhere.  Copy some text or a picture and it is captured for you, ready in the list."),
        QStringLiteral("The Example Page shows what Scrapkeeper can do.  Open it from the tray icon's menu: "
                       "\"Help\", then \"Example Page\"."),
        QStringLiteral("Press Ctrl+V (or the hotkey you chose) in almost any application: a list of your items "
                       "pops up just below the text cursor.  Pick an item to paste it there."),
        QStringLiteral("Right-click the Scrapkeeper icon in the notification area for its menu.  Most of its "
                       "options also have shortcut keys while the pop-up list is showing."),
        QStringLiteral("Double-click the tray icon to open the Configuration window.  Change your items and options "
                       "there; Cancel puts back everything as it was when the window opened."),
        QStringLiteral("Press Alt while the pop-up list is showing to switch to another category."),
        QStringLiteral("Type a letter while the pop-up list is showing to jump to the next item that starts with it."),
        QStringLiteral("Hold Ctrl or Shift to pick several items in the pop-up list.  They are pasted in the order "
                       "you picked them."),
        QStringLiteral("Press Del while the pop-up list is showing to delete the chosen items.  Changed your mind?  "
                       "Open the Configuration window straight away and press Cancel."),
        QStringLiteral("Press Esc to close the pop-up list; the keyboard goes back to the application you were in."),
        QStringLiteral("Press Esc while several items are being pasted to stop after the current one."),
        QStringLiteral("Help buttons can be shown on the pop-up list: check \"Show pop-up list help buttons\" on the "
                       "\"Pop-up List\" tab of \"Pop-up List Options\"."),
        QStringLiteral("To change several text items of a category at once, edit one of them and press "
                       "\"<< Edit More\" in the item window, then pick the others in the list beside it."),
        QStringLiteral("Ctrl+M lets you drag the pop-up list to another place on the screen."),
        QStringLiteral("Ctrl+D in the pop-up list turns the quick list off until you turn it on again."),
        QStringLiteral("Ctrl+C in the pop-up list opens the Configuration window."),
        QStringLiteral("Ctrl+E in the pop-up list edits the chosen text item."),
        QStringLiteral("Ctrl+P in the pop-up list shows or hides the preview window."),
        QStringLiteral("Ctrl+T in the pop-up list shows or hides the tooltips over its items."),
        QStringLiteral("Ctrl+G in the pop-up list lets you choose the global pasting method."),
        QStringLiteral("The pop-up list's height and width are set on the \"Other\" tab of \"Pop-up List Options\"."),
        QStringLiteral("A preview window can open beside the pop-up list, showing the whole of the chosen item: turn "
                       "it on from the \"Other\" tab of \"Pop-up List Options\".  Handy when items look alike."),
        QStringLiteral("Captured text and pictures can always go to one category of your choice, whatever category "
                       "is current: see \"Clipboard Options\".  That keeps your other categories tidy."),
        QStringLiteral("Scrapkeeper can play a sound each time it captures something, so you know it did: see the "
                       "\"Sound\" group on the \"Miscellaneous\" tab of \"General Options\"."),
        QStringLiteral("An item can press a key after it is pasted, such as Tab to move on to the next field of a "
                       "form: set its \"Action to perform after paste\"."),
        QStringLiteral("An item may have no text at all and only an action: a blank item that presses the space bar "
                       "can press a button on a web form for you."),
        QStringLiteral("Choosing an item does not have to paste it.  Uncheck \"Paste text upon text item selection\" "
                       "and the item only goes onto the clipboard: useful with a hotkey other than Ctrl+V."),
        QStringLiteral("Some programs, such as terminals, need text typed in rather than pasted.  Instead of changing "
                       "every item, set the global pasting method on the \"Pop-up List\" tab: it then applies to "
                       "every text item."),
        QStringLiteral("Want only a clipboard history?  Turn off \"Quick list box ACTIVE\" and take earlier "
                       "clippings back from \"Copy Item\" in the tray icon's menu."),
        QStringLiteral("Keep separate collections, say one for home and one for work: the group list buttons above "
                       "the tree in the Configuration window create, open and save them."),
        QStringLiteral("Let Scrapkeeper save your data every few minutes: choose it on the \"Saving Data\" tab of "
                       "\"General Options\".  Strongly recommended."),
        QStringLiteral("A category can keep only its newest items: give it a limit in its properties, and lock it if "
                       "it should stop taking new items once full."),
        QStringLiteral("Drag and drop categories and items in the Configuration window's tree to change their order, "
                       "or drop an item on another category to move it there."),
        QStringLiteral("To have Scrapkeeper start whenever you log in, check \"Start program when I log in\" on the "
                       "\"Miscellaneous\" tab of \"General Options\"."),
        QStringLiteral("Choose how many items the tray menu's \"Copy Item\" offers, and how its menu looks, on the "
                       "\"Icon Menu\" tab of \"General Options\"."),
    };
    return tips;
}

} // namespace

namespace Tips {

int count()
{
    return int(all().size());
}

QString text(int index)
{
    return all().value(index >= 0 && index < count() ? index : 0);
}

int next(int index)
{
    return index >= 0 && index < count() - 1 ? index + 1 : 0;
}

} // namespace Tips

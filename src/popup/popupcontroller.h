#pragma once

#include "platform/desktop.h"

#include <QObject>
#include <QPoint>

class Clipboard;
class ClipboardMonitor;
class Collection;
class GlobalHotkeys;
class KeyGrabber;
class MessageBoxService;
class Options;
class PasteEngine;
class PopupList;
struct Item;

// What the hotkey's cycle asks of the program around it.
class PopupHost
{
public:
    virtual ~PopupHost() = default;
    virtual bool applicationMinimised() const = 0;
    virtual void minimiseApplication() = 0;
    virtual void showConfiguration() = 0;
    // The user chose the category at this index from the list's menu.
    virtual void chooseCategory(int index) = 0;
    // The list has closed: the program goes back out of sight.
    virtual void listClosed() = 0;
    // Edits an item of the list: text in the item editor, a picture in the
    // image viewer; false when cancelled or closed without saving.
    virtual bool editItem(Item &item) = 0;
};

// The cycle of the pop-up hotkey: the press records where the focus and
// caret are, opens the list under the caret with the hotkey off, the list
// hands the pick to the paste engine, and its closing brings the hotkey back.
class PopupController : public QObject
{
    Q_OBJECT
public:
    PopupController(Collection &collection, Options &options, Desktop &desktop, Clipboard &clipboard,
                    ClipboardMonitor &monitor, KeyGrabber &keyGrabber, MessageBoxService &messages, PopupHost &host,
                    QObject *parent = nullptr);

    // Grabs the hotkey the options name (after start-up and OK).
    void registerHotkey();
    // Sends the configured hotkey on to the window in front, where the
    // desktop bound it to the program; false where nothing was sent.
    bool passOnHotkey();
    // A press of the hotkey (its presses come from `hotkeys()`).
    void onHotkey(int index);
    // The user chose a category from a menu: it becomes the current one, and
    // an open list lists it.
    void chooseCategory(int index);
    // A line the next list shows above its entries, once (a copy that was
    // not kept); empty takes it back.
    void setNextNotice(const QString &text) { m_nextNotice = text; }
    const QString &nextNotice() const { return m_nextNotice; }

    // Pastes items into the window in front as a pick from the list is
    // pasted (a command from the shell asks). The hotkey is off for the run,
    // as while the list shows, so its grab cannot swallow the Ctrl+V sent.
    enum class PasteOutcome { Pasted, Stopped, NoWindow, OwnWindow, ListOpen, Busy };
    PasteOutcome pasteInFront(const QList<const Item *> &items);
    // A run of the list or of pasteInFront is under way.
    bool pasting() const { return m_pasting || m_popup; }
    // Ends a run at its next check, as Esc does.
    void stopPasting();

    GlobalHotkeys &hotkeys() { return *m_hotkeys; }
    PopupList *popup() const { return m_popup; }
    const ForeignFocus &pasteTarget() const { return m_target; }

private:
    std::uint8_t hotkeyModifiers() const;
    std::uint8_t hotkeyKeyIndex() const;
    void listClosed();

    Collection &m_collection;
    Options &m_options;
    Desktop &m_desktop;
    MessageBoxService &m_messages;
    PopupHost &m_host;
    GlobalHotkeys *m_hotkeys = nullptr;
    PasteEngine *m_engine = nullptr;
    PopupList *m_popup = nullptr;
    ForeignFocus m_target;
    bool m_pasting = false;
    QPoint m_caretPos;
    QString m_nextNotice;
};

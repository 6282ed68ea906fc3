#pragma once

#include "capture/itemclipboard.h"
#include "platform/desktop.h"
#include "popup/terminalpastekeys.h"
#include "store/categorysettings.h"
#include "store/item.h"

#include <QList>
#include <QObject>

#include <functional>
#include <optional>

class Clipboard;
class ClipboardMonitor;
class Collection;
class KeyGrabber;
class Options;

// Delivers the entries picked in the pop-up list into the control that had
// the focus: each through the clipboard and Ctrl+V, as keystrokes, or by
// inserting at the cursor, followed by its after-paste action, with fixed
// pacing. Esc stops a run at its next check, and so does the user switching
// to another window: keys go to the target or nowhere.
class PasteEngine : public QObject
{
    Q_OBJECT
public:
    static constexpr int EscHotkeyId = 89;
    // How long a run waits for the target window to become active, and for
    // the user to let go of the modifiers they hold, before it gives up
    // (activation) or releases them (modifiers).
    static constexpr int ActivationWaitMs = 500;
    static constexpr int ModifierWaitMs = 1000;

    PasteEngine(Collection &collection, Options &options, Desktop &desktop, Clipboard &clipboard,
                ClipboardMonitor &monitor, KeyGrabber &grabber, QObject *parent = nullptr);

    // Pastes `entries` (in selection order) into `target`; `target` follows
    // the focus as Tab and "Jump cursor to next" move it within its window.
    // The records are copied before anything else happens, so a capture that
    // trims the category during the run's waits cannot take them away. Each
    // goes by the paste settings of the category holding it.
    // False when the run did not deliver every entry: the target never came
    // to the front, or Esc or a switch to another window stopped it.
    bool pasteSelection(const QList<const Item *> &entries, ForeignFocus &target);
    void typeText(const ForeignFocus &target, const QString &text);

    bool keepPasting = false;

    // The method an item is delivered by: rich text always by Ctrl+V; else
    // the global method, the category's, or the item's own.
    static PasteMethod methodFor(const Item &item, PasteMethod categoryMethod, bool globalOn, PasteMethod globalMethod);

private:
    bool bringTargetToFront(const ForeignFocus &target);
    bool pasteOne(const Item &item, int position, ForeignFocus &target, const std::optional<CategorySettings> &category);
    void afterPaste(const Item &item, ForeignFocus &target, const std::optional<CategorySettings> &category);
    bool mayGoOn(const ForeignFocus &target);
    void awaitModifiersReleased();
    // Sends keys to the target, or nothing when it no longer has the keyboard.
    bool sendTo(const ForeignFocus &target, const std::function<void()> &send);
    // Sends the target window's paste key; nothing where it has none.
    bool sendPasteKey(const ForeignFocus &target);

    Collection &m_collection;
    Options &m_options;
    Desktop &m_desktop;
    KeyGrabber &m_grabber;
    ItemClipboard m_itemClipboard;
    PasteKey m_pasteKey = PasteKey::CtrlV;  // of the run's target window
};

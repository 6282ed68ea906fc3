#pragma once

#include "platform/desktop.h"

#include <QList>
#include <QObject>

class Clipboard;
class ClipboardMonitor;
class Collection;
class KeyGrabber;
class Options;
struct TItemRec;

// Delivers the entries picked in the pop-up list into the control that had
// the focus: each through the clipboard and Ctrl+V, as keystrokes, or by
// inserting at the cursor, followed by its after-paste action, with fixed
// pacing. Esc stops a run at its next check.
class PasteEngine : public QObject
{
    Q_OBJECT
public:
    static constexpr int EscHotkeyId = 89;

    PasteEngine(Collection &collection, Options &options, Desktop &desktop, Clipboard &clipboard,
                ClipboardMonitor &monitor, KeyGrabber &grabber, QObject *parent = nullptr);

    // Pastes `entries` (in selection order) into `target`; `target` follows
    // the focus as Tab and "Jump cursor to next" move it.
    void SpitText(const QList<TItemRec *> &entries, ForeignFocus &target);
    void TypeText(const ForeignFocus &target, const QString &text);

    bool KeepPasting = false;

    // The method an item is delivered by: rich text always by Ctrl+V; else
    // the global method, the category's, or the item's own.
    static int methodFor(const TItemRec &item, int categoryMethod, bool globalOn, int globalMethod);

private:
    bool pasteOne(const TItemRec &item, int position, ForeignFocus &target, const struct TCategoryRec *category);
    void afterPaste(const TItemRec &item, ForeignFocus &target, const TCategoryRec *category);

    Collection &m_collection;
    Options &m_options;
    Desktop &m_desktop;
    Clipboard &m_clipboard;
    ClipboardMonitor &m_monitor;
    KeyGrabber &m_grabber;
};

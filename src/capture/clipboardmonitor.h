#pragma once

#include "settings/option.h"
#include "store/item.h"
#include "store/refusal.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class Clipboard;
class ClipboardContent;
class Collection;
class Options;
struct CategoryNode;

// What the monitor asks of the window that holds the collection.
class CaptureHost
{
public:
    virtual ~CaptureHost() = default;
    // The name selected in the current-category chooser.
    virtual QString currentCategoryName() const = 0;
    virtual bool applicationMinimised() const = 0;
    virtual void playCaptureSound() = 0;
};

// Turns clipboard changes into items under the capture options. It never
// shows a message itself: a copy it had to refuse (a locked, full category,
// a copy past its bounds, a picture it could not read) is reported through
// captureRefused for the tray and the pop-up list to tell.
class ClipboardMonitor : public QObject
{
    Q_OBJECT
public:
    ClipboardMonitor(Collection &collection, Options &options, Clipboard &clipboard, CaptureHost &host,
                     QObject *parent = nullptr);

    // The self-capture guard: every writer of the clipboard disarms first;
    // rich-text copies also hold the suppress count for their duration.
    bool armed = false;
    int suppressCount = 0;
    bool CopyMenuStale = false;

    // Starts listening; what is on the clipboard now is never captured.
    void join();
    void leave();

    void onClipboardChanged();

    // Adds a plain text the user hands over (a command from the shell) as a
    // capture of it would be: its alias derived, not again when it already
    // is the newest item (with duplicates prevented), refused by a category
    // that is locked and full, the oldest item dropped at the limit. `text`
    // is held as an item holds text (see ClipboardContent::decodePlainText).
    // No refusal and nothing added: it repeated the newest item.
    struct Added
    {
        bool added = false;
        Refusal refusal;
    };
    Added addText(const QString &text, CategoryNode *target);

    // Refills the remembered specific-category indexes after the category
    // list changed from `oldNames` to the collection's current names.
    void refreshDestinationLists(const QStringList &oldNames);

signals:
    void itemCaptured();
    // The copy a capture stored, once for each category that took one.
    void copyStored(const Item &item);
    // The user's copy was not kept, and why; once per copy.
    void captureRefused(const Refusal &refusal);

private:
    bool capture();
    bool keepsHtmlFormatting(const ClipboardContent &content) const;
    // None when the copy turned out to hold no text, so a picture may be taken.
    std::optional<bool> captureText(const ClipboardContent &content);
    bool captureImage(const ClipboardContent &content);
    CategoryNode *specificCategory(Option indexOption) const;
    bool addToCurrentDestinations(const Item &item, bool everyCategory);
    // Says why when the category cannot take a new item (none, or locked and full).
    bool mayReceive(const CategoryNode *target);
    bool addToCategory(const Item &item, CategoryNode *target);
    void stored();
    void refreshDestination(const QStringList &oldNames, Option index, Option specificOption, Option currentOption);

    Collection &m_collection;
    Options &m_options;
    Clipboard &m_clipboard;
    CaptureHost &m_host;
    bool m_joined = false;
    QList<CategoryNode *> m_receivers;  // of the capture under way
    Refusal m_refusal;  // of the copy being captured
};

#pragma once

#include <QMenu>

class Collection;
class ItemClipboard;
class Options;
struct Item;

// "Copy Item": the newest items of the current category, by alias; choosing
// one puts it back on the clipboard (it is not captured again). Built when
// it is about to show, and only when the current items changed since.
class CopyItemMenu : public QMenu
{
    Q_OBJECT
public:
    CopyItemMenu(const Collection &collection, const Options &options, ItemClipboard &clipboard,
                 QWidget *parent = nullptr);

    bool isStale() const { return m_stale; }
    void markStale() { m_stale = true; }
    void rebuildIfStale();
    void rebuild();

    // What an entry showing `alias` copies: the first current item of that
    // alias, so of two equal aliases the newer; none once it is gone.
    const Item *itemFor(const QString &alias) const;
    void copy(const QString &alias);

private:
    const Collection &m_collection;
    const Options &m_options;
    ItemClipboard &m_clipboard;
    bool m_stale = true;
};

#pragma once

#include "store/collection.h"

#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

#include <functional>

// The rows of the pop-up list. Each row's text and icon are read from its
// record when the view draws the row, so opening the list costs the same for
// three items as for ten thousand. The rows are the current item list as it
// was when last shown: captures arriving meanwhile do not move them.
class PopupListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // Beyond this a row's text never fits the list; a hostile alias of
    // megabytes is never laid out.
    static constexpr int MaxShownCharacters = 1000;
    // A found row's category name, which the list shows beside its alias.
    static constexpr int CategoryRole = Qt::UserRole + 1;

    explicit PopupListModel(QObject *parent = nullptr);

    void showEntries(const QList<CurrentItem> &entries);
    // Lines of text that stand for no record (the hint of an empty category).
    void showLines(const QStringList &lines);
    // Rows found by a search across the categories; each names its category.
    // The view gets them a screenful or so at a time as it scrolls down, so
    // a search finding most of a large collection costs the view no more
    // than one finding a few.
    static constexpr int FoundRowsPerFetch = 256;
    void showFound(const QList<Item *> &items);
    void appendFound(const QList<Item *> &items);
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    // Every found row, fetched or not.
    qsizetype foundCount() const { return m_entries.size() + m_unfetched.size(); }
    bool showsFound() const { return m_found; }
    // Takes out the rows whose records were forgotten.
    void dropForgotten();
    // The row shows its record's alias again (after an edit).
    void refreshRow(int row);

    // The record behind the row; null for a line, a forgotten row or no row.
    Item *record(int row) const;
    int rowOf(const Item *record) const;
    // The rows whose records the predicate names stand for nothing from now on;
    // answers those rows.
    QList<int> forget(const std::function<bool(const Item *)> &freed);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QIcon kindIcon(ItemKind kind) const;
    void fetch(qsizetype most);

    QList<CurrentItem> m_entries;  // shares the collection's list until either changes
    QStringList m_lines;
    bool m_found = false;
    QList<Item *> m_unfetched;  // found rows the view has not asked for yet
    mutable QIcon m_kindIcons[3];
};

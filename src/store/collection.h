#pragma once

#include "store/categorysettings.h"
#include "store/item.h"
#include "store/refusal.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class DeletionHistory;

// A category node of the collection: its caption, its record and its items,
// newest first.
struct CategoryNode
{
    QString name;
    CategorySettings rec;
    std::vector<std::unique_ptr<Item>> items;

    int itemCount() const { return static_cast<int>(items.size()); }
};

using CategoryList = std::vector<std::unique_ptr<CategoryNode>>;

// One entry of the current item list: the alias as listed and the record it
// stands for. The record belongs to the tree.
struct CurrentItem
{
    QString alias;
    Item *item = nullptr;
};

// The two-level tree of categories and items, the current category, the
// current item list derived from it, and the unsaved-changes flags. Plain
// model: views observe it through its signals.
class Collection : public QObject
{
    Q_OBJECT
public:
    explicit Collection(QObject *parent = nullptr);
    ~Collection() override;

    int categoryCount() const { return static_cast<int>(m_categories.size()); }
    CategoryNode *category(int index) const;
    // The records standing at rows first..last of a category, as
    // aboutToRemoveItems names them; rows past the end are left out.
    QSet<const Item *> itemsAt(int categoryIndex, int first, int last) const;
    int indexOf(const CategoryNode *node) const;
    const CategoryList &categories() const { return m_categories; }
    int totalItemCount() const;

    CategoryNode *appendCategory(const QString &name, const CategorySettings &rec = {});
    // A new category standing at `index` of the list.
    CategoryNode *insertCategory(int index, const QString &name, const CategorySettings &rec);
    // Replaces the whole tree at once (a load); the current category becomes null.
    void replaceAll(CategoryList categories);

    bool addNewItem(bool everyCategory, const Item &item);
    // Why the category takes no new item, or no refusal when it takes one.
    static Refusal refusalOf(const CategoryNode *category);
    // Whether the category's newest item is a text holding exactly `text`: the
    // same copy again would only repeat it.
    static bool newestRepeats(const CategoryNode *category, const QString &text);
    // Frees one item and removes it from the tree and the current item list.
    void removeItem(Item *item);
    // Frees every item of the category; the category stays.
    void removeItems(CategoryNode *category);
    // Frees the category with its items.
    void removeCategory(CategoryNode *category);
    // A new name for the category and for every item's Category field.
    void renameCategory(CategoryNode *category, const QString &name);
    // Moves an item to `row` of `destination` (the row counted before the
    // move); its Category follows. Never copies, never trims.
    void moveItem(Item *item, CategoryNode *destination, int row);
    // Moves a category with its items to stand just before `before` (null: last).
    void moveCategory(CategoryNode *category, CategoryNode *before);
    // Sorts the category's items by alias in the user's locale order.
    void sortItems(CategoryNode *category);
    // Copies the items of `source` into `destination`, at its beginning (in
    // their order) or its end, stopping once a locked destination is full.
    // Copied pictures share their side file: no file is swept while an item names it.
    void copyItems(const CategoryNode *source, CategoryNode *destination, bool toEnd);
    // The category and row holding the item, or {nullptr, -1}.
    std::pair<CategoryNode *, int> locate(const Item *item) const;
    // Inserts a copy of the record as the category's newest item, its Category set.
    void insertFirstChild(CategoryNode *category, const Item &item);
    // Inserts a copy of the record at `row` of the category (kept within it), its Category set.
    Item *insertChild(CategoryNode *category, int row, const Item &item);
    // Inserts copies of the records from `row` on, in their order, their Category set.
    void insertItems(CategoryNode *category, int row, std::vector<Item> items);
    bool enforceLimit(CategoryNode *category, bool trimCurrItems);
    CategoryNode *findCategory(const QString &name) const;
    void clear();

    CategoryNode *currentCategory() const { return m_current; }
    void setCurrentCategory(CategoryNode *category);

    const QList<CurrentItem> &currentItems() const { return m_currItems; }
    void refreshCurrentItems();
    void insertCurrItem(int index, const CurrentItem &entry);
    void trimCurrItems();  // drops the last entry

    bool editModified() const { return m_editModified; }
    bool captureModified() const { return m_captureModified; }
    bool anyModified() const { return m_editModified || m_captureModified; }
    void setEditModified(bool on = true) { m_editModified = on; }
    void setCaptureModified(bool on = true) { m_captureModified = on; }
    void clearModified() { m_editModified = m_captureModified = false; }

    // Deleting that the user can take back goes through here.
    DeletionHistory &deletions() { return *m_deletions; }

signals:
    void aboutToReset();
    void reset();
    void aboutToAppendCategory(int categoryIndex);
    void categoryAppended(int categoryIndex);
    void aboutToRemoveCategory(int categoryIndex);
    void categoryRemoved(int categoryIndex);
    void aboutToMoveCategory(int from, int to);  // `to` counted before the move
    void categoryMoved();
    void categoryRenamed(int categoryIndex);
    void aboutToInsertItems(int categoryIndex, int first, int last);
    void itemsInserted();
    void aboutToRemoveItems(int categoryIndex, int first, int last);
    void itemsRemoved();
    void aboutToMoveItem(int fromCategory, int fromRow, int toCategory, int toRow);
    void itemMoved();
    void aboutToReorderItems(int categoryIndex);
    void itemsReordered(int categoryIndex);
    void currItemsChanged();

private:
    void dropFromCurrItems(const std::function<bool(const Item *)> &freed);

    CategoryList m_categories;
    CategoryNode *m_current = nullptr;
    QList<CurrentItem> m_currItems;
    bool m_editModified = false;
    bool m_captureModified = false;
    std::unique_ptr<DeletionHistory> m_deletions;
};

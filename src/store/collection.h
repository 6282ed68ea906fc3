#pragma once

#include "store/categorysettings.h"
#include "store/item.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

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
    int indexOf(const CategoryNode *node) const;
    const CategoryList &categories() const { return m_categories; }
    int totalItemCount() const;

    CategoryNode *appendCategory(const QString &name, const CategorySettings &rec = {});
    // Replaces the whole tree at once (a load); the current category becomes null.
    void replaceAll(CategoryList categories);

    bool addNewItem(bool everyCategory, const Item &item);
    // Frees one item and removes it from the tree and the current item list.
    void removeItem(Item *item);
    // Inserts a copy of the record as the category's newest item, its Category set.
    void insertFirstChild(CategoryNode *category, const Item &item);
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

signals:
    void aboutToReset();
    void reset();
    void aboutToAppendCategory(int categoryIndex);
    void categoryAppended(int categoryIndex);
    void aboutToInsertItem(int categoryIndex, int row);
    void itemInserted(int categoryIndex, int row);
    void aboutToRemoveItem(int categoryIndex, int row);
    void itemRemoved(int categoryIndex, int row);
    void currItemsChanged();

private:
    CategoryList m_categories;
    CategoryNode *m_current = nullptr;
    QList<CurrentItem> m_currItems;
    bool m_editModified = false;
    bool m_captureModified = false;
};

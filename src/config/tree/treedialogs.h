#pragma once

#include "config/tree/categoryproperties.h"
#include "store/item.h"

#include <QList>

#include <optional>

struct CategoryNode;

// The dialogs editing the tree opens. Tests answer them without windows.
class TreeDialogs
{
public:
    enum class CategoryMode { New, Edit };
    struct NewItem
    {
        Item item;
        bool everyCategory = false;  // a copy to every category that takes one
    };

    virtual ~TreeDialogs() = default;
    // `edited` is the category in edit mode; without `cancelAllowed` the
    // dialog can only be left with a valid category.
    virtual std::optional<CategoryProperties> categoryProperties(CategoryMode mode, CategoryNode *edited,
                                                                 bool cancelAllowed) = 0;
    virtual std::optional<NewItem> newTextItem() = 0;
    // The item editor on `items[starting]`; `items` are copies of every item
    // of its category in tree order, so several can be changed at once.
    // Returns the positions of the copies changed: none when cancelled.
    virtual QList<int> editItems(QList<Item> &items, int starting, const QString &categoryName) = 0;
    // The image viewer on `item`; true when the user saved changes into it.
    virtual bool viewImage(Item &item) = 0;
    // The items of the quick-add rows the user checked, row 1 first (maybe
    // none); nothing when the user cancelled.
    virtual std::optional<QList<Item>> quickAdd() = 0;
    // The print window over a copy of the item's text.
    virtual void printItem(const Item &item) = 0;
};

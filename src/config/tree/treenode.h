#pragma once

struct CategoryNode;
struct Item;

// A node of the tree: a category (item null) or one of its items.
struct TreeNode
{
    CategoryNode *category = nullptr;
    Item *item = nullptr;

    bool isNull() const { return !category; }
    bool isCategory() const { return category && !item; }
    bool isItem() const { return item != nullptr; }
    bool operator==(const TreeNode &) const = default;
};

#include <QMetaType>
Q_DECLARE_METATYPE(TreeNode)

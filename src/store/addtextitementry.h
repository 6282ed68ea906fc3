#pragma once

#include <QString>

struct CategoryNode;

// How the configuration window's add menu offers "Add Text Item...": a
// category that is locked and full takes no items, and the entry says why.
struct AddTextItemEntry
{
    QString caption;
    bool enabled = true;
};

AddTextItemEntry addTextItemEntry(const CategoryNode *currentCategory);

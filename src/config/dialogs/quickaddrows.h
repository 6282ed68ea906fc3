#pragma once

#include "store/createdstamp.h"
#include "store/item.h"

#include <QList>
#include <QString>

// What the user typed in one row of the quick-add dialog.
struct QuickAddRow
{
    bool add = false;  // "Add?"
    QString text;
    int action = 0;    // index of "Action to perform after paste"
    QString extraText;
    int count = 1;     // "How many times?"
};

// The items the checked rows make, in row order. Every item is a plain
// text item pasted with Ctrl+V, stamped `created`.
QList<Item> quickAddItems(const QList<QuickAddRow> &rows, const QString &created = createdStamp());

#pragma once

#include "store/categorysettings.h"

#include <QString>

// What the category dialog hands back after OK: the category's name and
// record, and what to do with its items.
struct CategoryProperties
{
    QString name;
    CategorySettings settings;
    bool alphabetize = false;  // sort the category's items by alias
    QString copyFrom;          // a category whose items are copied in; empty for none
    bool copyToEnd = false;    // copied items go after the items already there
};

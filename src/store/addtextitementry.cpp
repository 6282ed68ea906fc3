#include "store/addtextitementry.h"

#include "store/collection.h"

AddTextItemEntry addTextItemEntry(const CategoryNode *currentCategory)
{
    if (currentCategory && currentCategory->rec.isLockedAndFull(currentCategory->itemCount()))
        return {QStringLiteral("Category locked; limit reached"), false};
    return {QStringLiteral("Add Text Item..."), true};
}

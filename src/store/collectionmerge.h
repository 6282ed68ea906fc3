#pragma once

#include "store/collection.h"

#include <vector>

// Taking into the collection in memory what another writer of its data file
// (a second running program, a sync tool, the user's editor) saved there.
namespace CollectionMerge {

// The collection as it stood when its data file was last read or written:
// what both sides' changes are told from.
struct Snapshot
{
    struct Category
    {
        QString name;
        CategorySettings rec;
        std::vector<Item> items;
    };
    std::vector<Category> categories;

    static Snapshot of(const CategoryList &categories);
};

// Brings into `ours` the changes `theirs` (the data file as the other writer
// left it) made since `base`, keeping every change made here: items they
// added that ours lacks go in at their place, items they removed go unless
// changed here, new categories are added, removed ones go once nothing of
// ours is left in them, and settings or paste choices they changed are taken
// where ours still has those of the base. Items are told apart by kind,
// creation stamp and content (an image by its side file), since nothing
// else names them; the order of categories stays ours.
void takeIn(Collection &ours, const Snapshot &base, const CategoryList &theirs);

} // namespace CollectionMerge

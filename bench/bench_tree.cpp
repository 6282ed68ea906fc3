// Times the List Setup tree over a large collection: building the model and
// the view, a find that matches nothing, moving an item across categories,
// and deleting an item and a category, each with the view attached.
// Baseline: walking every item's text once (what any find must at least do).
// Usage: bench_tree [items] [categories] [rounds]   (QT_QPA_PLATFORM=offscreen)

#include "config/pages/collectiontreeview.h"
#include "config/tree/collectiontreemodel.h"
#include "config/tree/treeeditor.h"
#include "doubles/scriptedmessageboxes.h"
#include "doubles/scriptedtreedialogs.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QApplication>
#include <QElapsedTimer>

#include "benchstats.h"

#include <cstdio>
#include <vector>

namespace {

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void fill(Collection &collection, int items, int categories)
{
    CategoryList list;
    for (int c = 0; c < categories; ++c) {
        auto category = std::make_unique<CategoryNode>();
        category->name = QStringLiteral("Category %1").arg(c);
        for (int i = c; i < items; i += categories) {
            auto item = std::make_unique<Item>();
            item->category = category->name;
            item->alias = QStringLiteral("item %1").arg(i);
            item->text = QStringLiteral("The text of item number %1, somewhat longer than its alias so a "
                                        "search has real work to do.").arg(i);
            category->items.push_back(std::move(item));
        }
        list.push_back(std::move(category));
    }
    collection.replaceAll(std::move(list));
}

void report(const char *what, std::vector<double> samples)
{
    std::printf("%-38s median %9.3f ms   p90 %9.3f ms\n", what, percentile(samples, 50), percentile(samples, 90));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int items = argc > 1 ? atoi(argv[1]) : 100000;
    const int categories = argc > 2 ? atoi(argv[2]) : 50;
    const int rounds = argc > 3 ? atoi(argv[3]) : 7;

    Collection collection;
    Options options;
    options.set(Option::ConfirmItemDelete, false);
    options.set(Option::ConfirmCategoryDelete, false);
    ScriptedMessageBoxes boxes;
    ScriptedTreeDialogs dialogs;
    TreeEditor editor(collection, options, boxes, dialogs);
    std::vector<double> build, walk, find, move, removeItem, removeCategory;

    for (int round = 0; round < rounds; ++round) {
        fill(collection, items, categories);

        QElapsedTimer timer;
        timer.start();
        auto model = std::make_unique<CollectionTreeModel>(collection);
        CollectionTreeView view(*model, editor);
        view.resize(300, 400);
        view.show();
        view.expand(model->index(0, 0));
        view.selectNode({collection.category(0), nullptr});
        QCoreApplication::processEvents();
        build.push_back(msSince(timer));

        timer.start();
        qsizetype total = 0;
        for (const auto &category : collection.categories())
            for (const auto &item : category->items)
                total += item->text.contains(QLatin1String("no such text")) ? 1 : 0;
        walk.push_back(msSince(timer));

        timer.start();
        editor.find(QStringLiteral("no such text"), false, true, {collection.category(0), nullptr}, false);
        find.push_back(msSince(timer));

        CategoryNode *first = collection.category(0);
        CategoryNode *last = collection.category(categories - 1);
        timer.start();
        editor.drop({first, first->items.back().get()}, {last, last->items.back().get()});
        QCoreApplication::processEvents();
        move.push_back(msSince(timer));

        timer.start();
        editor.remove({last, last->items.back().get()});
        QCoreApplication::processEvents();
        removeItem.push_back(msSince(timer));

        timer.start();
        editor.remove({collection.category(1), nullptr});
        QCoreApplication::processEvents();
        removeCategory.push_back(msSince(timer));
        if (total != 0)
            std::printf("unexpected match\n");
    }

    std::printf("%d items in %d categories, %d rounds\n", items, categories, rounds);
    report("baseline: exact search of every text", walk);
    report("build model and view", build);
    report("find matching nothing", find);
    report("move an item across categories", move);
    report("delete an item", removeItem);
    report("delete a category", removeCategory);
    return 0;
}

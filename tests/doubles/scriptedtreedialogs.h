#pragma once

#include "config/tree/treedialogs.h"

#include <QList>
#include <QQueue>

#include <functional>

// The tree's dialogs in tests: each answers from its queue and records how
// it was opened. A dialog nobody queued an answer for is cancelled.
class ScriptedTreeDialogs : public TreeDialogs
{
public:
    struct CategoryCall
    {
        CategoryMode mode;
        CategoryNode *edited;
        bool cancelAllowed;
    };

    std::optional<CategoryProperties> categoryProperties(CategoryMode mode, CategoryNode *edited,
                                                         bool cancelAllowed) override
    {
        categoryCalls.append({mode, edited, cancelAllowed});
        if (whileShown)
            whileShown();
        return categoryAnswers.isEmpty() ? std::nullopt : categoryAnswers.dequeue();
    }
    std::optional<NewItem> newTextItem() override
    {
        ++newItemCalls;
        return newItemAnswers.isEmpty() ? std::nullopt : newItemAnswers.dequeue();
    }
    QList<int> editItems(QList<Item> &items, int starting, const QString &categoryName) override
    {
        ++editCalls;
        editedCategory = categoryName;
        if (whileShown)
            whileShown();
        if (!editMoreAnswers.isEmpty())
            return editMoreAnswers.dequeue()(items, starting);
        if (editAnswers.isEmpty())
            return {};
        const auto edit = editAnswers.dequeue();
        if (!edit)
            return {};
        edit(items[starting]);
        return {starting};
    }
    bool viewImage(Item &item) override
    {
        ++viewCalls;
        if (viewAnswers.isEmpty())
            return false;
        const auto view = viewAnswers.dequeue();
        if (!view)
            return false;
        view(item);
        return true;
    }
    std::optional<QList<Item>> quickAdd() override
    {
        ++quickAddCalls;
        return quickAddAnswers.isEmpty() ? std::nullopt : quickAddAnswers.dequeue();
    }
    void printItem(const Item &item) override { printed.append(item); }

    // Runs while the category dialog or the item editor is up, as events that
    // arrive during its loop do.
    std::function<void()> whileShown;
    QQueue<std::optional<CategoryProperties>> categoryAnswers;
    QQueue<std::optional<NewItem>> newItemAnswers;
    QQueue<std::function<void(Item &)>> editAnswers;  // an empty function is Cancel
    // Answers that change several copies and say which.
    QQueue<std::function<QList<int>(QList<Item> &, int)>> editMoreAnswers;
    QString editedCategory;
    QQueue<std::optional<QList<Item>>> quickAddAnswers;
    QList<CategoryCall> categoryCalls;
    QList<Item> printed;
    int quickAddCalls = 0;
    int newItemCalls = 0;
    int editCalls = 0;
    int viewCalls = 0;
    // What each image viewer saves into its item; none queued (or empty): closed without saving.
    QQueue<std::function<void(Item &)>> viewAnswers;
};

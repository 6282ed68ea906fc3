#pragma once

#include "config/tree/treedialogs.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class Collection;
class MessageBoxService;

// The tree's dialogs as windows over the configuration window.
class QtTreeDialogs : public TreeDialogs
{
public:
    explicit QtTreeDialogs(MessageBoxService &messages);

    // The collection the dialogs name categories from, the window they stand
    // over, and where their Help buttons lead.
    void attach(const Collection &collection, QWidget *window, std::function<void(const QString &)> openHelp);

    std::optional<CategoryProperties> categoryProperties(CategoryMode mode, CategoryNode *edited,
                                                         bool cancelAllowed) override;
    std::optional<NewItem> newTextItem() override;
    bool editItem(Item &item) override;
    void viewImage(Item &item) override;
    std::optional<QList<Item>> quickAdd() override;
    void printItem(const Item &item) override;

private:
    MessageBoxService &m_messages;
    const Collection *m_collection = nullptr;
    QPointer<QWidget> m_window;
    std::function<void(const QString &)> m_openHelp;
};

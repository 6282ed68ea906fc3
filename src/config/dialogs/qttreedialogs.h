#pragma once

#include "config/tree/treedialogs.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class Clipboard;
class Collection;
class FileDialogs;
class ItemEditor;
class MessageBoxService;

// The tree's dialogs as windows over the configuration window.
class QtTreeDialogs : public TreeDialogs
{
public:
    QtTreeDialogs(MessageBoxService &messages, FileDialogs &files);

    // The collection the dialogs name categories from, the window they stand
    // over, where their Help buttons lead, and what keeps the program from
    // capturing the item editor's own Cut and Copy.
    void attach(const Collection &collection, QWidget *window, std::function<void(const QString &)> openHelp,
                std::function<void()> clipboardGuard = {});
    // The clipboard the image viewer copies to and pastes from.
    void setClipboard(Clipboard &clipboard) { m_clipboard = &clipboard; }

    std::optional<CategoryProperties> categoryProperties(CategoryMode mode, CategoryNode *edited,
                                                         bool cancelAllowed) override;
    std::optional<NewItem> newTextItem() override;
    QList<int> editItems(QList<Item> &items, int starting, const QString &categoryName) override;
    bool viewImage(Item &item) override;
    std::optional<QList<Item>> quickAdd() override;
    void printItem(const Item &item) override;

private:
    void prepare(ItemEditor &editor);

    MessageBoxService &m_messages;
    FileDialogs &m_files;
    const Collection *m_collection = nullptr;
    Clipboard *m_clipboard = nullptr;
    QPointer<QWidget> m_window;
    std::function<void(const QString &)> m_openHelp;
    std::function<void()> m_clipboardGuard;
};

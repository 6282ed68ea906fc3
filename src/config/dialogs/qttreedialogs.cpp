#include "config/dialogs/qttreedialogs.h"

#include "config/dialogs/categorypropertiesdialog.h"
#include "config/dialogs/imageviewer.h"
#include "config/dialogs/itemeditor.h"
#include "config/dialogs/printwindow.h"
#include "config/dialogs/quickadddialog.h"
#include "store/createdstamp.h"

QtTreeDialogs::QtTreeDialogs(MessageBoxService &messages, FileDialogs &files)
    : m_messages(messages)
    , m_files(files)
{
}

void QtTreeDialogs::attach(const Collection &collection, QWidget *window, std::function<void(const QString &)> openHelp,
                           std::function<void()> clipboardGuard)
{
    m_clipboardGuard = std::move(clipboardGuard);
    m_collection = &collection;
    m_window = window;
    m_openHelp = std::move(openHelp);
}

std::optional<CategoryProperties> QtTreeDialogs::categoryProperties(CategoryMode mode, CategoryNode *edited,
                                                                    bool cancelAllowed)
{
    if (!m_collection)
        return std::nullopt;
    CategoryPropertiesDialog dialog(mode == CategoryMode::New ? CategoryPropertiesDialog::Mode::New
                                                              : CategoryPropertiesDialog::Mode::Edit,
                                    *m_collection, edited, m_messages, m_window);
    dialog.setCancelAllowed(cancelAllowed);
    QObject::connect(&dialog, &CategoryPropertiesDialog::helpRequested, &dialog, [this](const QString &topic) {
        if (m_openHelp)
            m_openHelp(topic);
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.properties();
}

std::optional<TreeDialogs::NewItem> QtTreeDialogs::newTextItem()
{
    ItemEditor editor(ItemEditor::Mode::Add, m_messages, m_files, m_window);
    prepare(editor);
    if (editor.exec() != QDialog::Accepted)
        return std::nullopt;
    NewItem added;
    added.item.created = createdStamp();
    editor.writeFields(added.item);
    added.everyCategory = editor.everyCategory();
    return added;
}

QList<int> QtTreeDialogs::editItems(QList<Item> &items, int starting, const QString &categoryName)
{
    if (starting < 0 || starting >= items.size())
        return {};
    QList<Item *> records;
    records.reserve(items.size());
    for (Item &item : items)
        records.append(&item);
    if (ItemEditor::reportTooLarge(items[starting], m_messages))
        return {};
    EditMoreSession session(records, records[starting]);
    ItemEditor editor(ItemEditor::Mode::Edit, m_messages, m_files, m_window);
    prepare(editor);
    editor.setFields(items[starting]);
    editor.setEditMore(session, categoryName);
    if (editor.exec() != QDialog::Accepted)
        return {};
    if (editor.editMoreShowing())
        return session.apply(editor.updateCreated(), createdStamp());
    editor.writeFields(items[starting]);
    return {starting};
}

void QtTreeDialogs::prepare(ItemEditor &editor)
{
    editor.setClipboardGuard(m_clipboardGuard);
    QObject::connect(&editor, &ItemEditor::helpRequested, &editor, [this](const QString &topic) {
        if (m_openHelp)
            m_openHelp(topic);
    });
}

bool QtTreeDialogs::viewImage(Item &item)
{
    if (!m_clipboard || ImageViewer::reportUnviewable(item, m_messages))
        return false;
    ImageViewer viewer(item, *m_clipboard, m_files, m_window);
    viewer.setClipboardGuard(m_clipboardGuard);
    QObject::connect(&viewer, &ImageViewer::helpRequested, &viewer, [this](const QString &topic) {
        if (m_openHelp)
            m_openHelp(topic);
    });
    viewer.exec();
    return viewer.saved();
}

std::optional<QList<Item>> QtTreeDialogs::quickAdd()
{
    QuickAddDialog dialog(m_window);
    QObject::connect(&dialog, &QuickAddDialog::helpRequested, &dialog, [this](const QString &topic) {
        if (m_openHelp)
            m_openHelp(topic);
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return quickAddItems(dialog.rows());
}

void QtTreeDialogs::printItem(const Item &item)
{
    if (ItemEditor::reportTooLarge(item, m_messages))
        return;
    PrintWindow window(item, m_messages, m_window);
    window.exec();
}

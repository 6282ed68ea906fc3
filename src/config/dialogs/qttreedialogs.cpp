#include "config/dialogs/qttreedialogs.h"

#include "config/dialogs/categorypropertiesdialog.h"
#include "config/dialogs/itemeditor.h"
#include "config/dialogs/printwindow.h"
#include "config/dialogs/quickadddialog.h"
#include "store/createdstamp.h"

QtTreeDialogs::QtTreeDialogs(MessageBoxService &messages)
    : m_messages(messages)
{
}

void QtTreeDialogs::attach(const Collection &collection, QWidget *window, std::function<void(const QString &)> openHelp)
{
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
    ItemEditor editor(ItemEditor::Mode::Add, m_window);
    if (editor.exec() != QDialog::Accepted)
        return std::nullopt;
    NewItem added;
    added.item.actionCount = 1;
    added.item.created = createdStamp();
    editor.writeFields(added.item);
    added.everyCategory = editor.everyCategory();
    return added;
}

bool QtTreeDialogs::editItem(Item &item)
{
    ItemEditor editor(ItemEditor::Mode::Edit, m_window);
    editor.setFields(item);
    if (editor.exec() != QDialog::Accepted)
        return false;
    editor.writeFields(item);
    return true;
}

void QtTreeDialogs::viewImage(Item &)
{
    // Pictures are shown in the details panel until they get a viewer of their own.
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
    PrintWindow window(item, m_messages, m_window);
    window.exec();
}

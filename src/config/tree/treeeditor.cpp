#include "config/tree/treeeditor.h"

#include "common/messageboxservice.h"
#include "common/modalsession.h"
#include "config/tree/categoryproperties.h"
#include "config/tree/treedialogs.h"
#include "settings/options.h"
#include "store/collection.h"
#include "store/deletionhistory.h"

#include <QSet>
#include <QStringMatcher>

namespace {

const QString kConfirmation = QStringLiteral("Confirmation");
const QString kCanBeDisabled =
    QStringLiteral("(This dialog can be disabled from the Miscellaneous tab in General Options.)");
const QString kDeleteQuestion = QStringLiteral(
    "Are you sure you want to delete?  (pressing Cancel will restore all changes you make)\r\n\r\n") + kCanBeDisabled;
const QString kEmptyCategoryQuestion = QStringLiteral("Are you sure you want to delete everything in this category?");
const QString kDeleteCategoryQuestion =
    QStringLiteral("Are you sure you want to delete this category and everything in it?");
const QString kNoData = QStringLiteral("There is currently no data.  Please create a new category now.");
const QString kCategoryGone =
    QStringLiteral("The category \"%1\" was removed while its properties were open, so the changes made there "
                   "were not kept.");

// Notes whether a record is freed while a dialog or a question is up: a
// capture trimming a full category may free it meanwhile, and a new record
// may then stand at the same address. A category is watched as well: the
// dialog must not write into one that was freed under it.
class RemovalWatch
{
public:
    RemovalWatch(Collection &collection, const Item *item, const CategoryNode *category = nullptr)
        : RemovalWatch(collection, QSet<const Item *>{item}, category)
    {
    }
    RemovalWatch(Collection &collection, QSet<const Item *> items, const CategoryNode *category = nullptr)
        : m_watched(std::move(items))
        , m_category(category)
    {
        const auto check = [this, &collection](int categoryIndex, int first, int last) {
            const CategoryNode *category = collection.category(categoryIndex);
            for (int row = first; category && row <= last && row < category->itemCount(); ++row) {
                const Item *item = category->items[size_t(row)].get();
                if (m_watched.contains(item))
                    m_removedItems.insert(item);
            }
        };
        m_connections << QObject::connect(&collection, &Collection::aboutToRemoveItems, check)
                      << QObject::connect(&collection, &Collection::aboutToRemoveCategory,
                                          [this, &collection](int categoryIndex) {
                                              if (m_category && collection.category(categoryIndex) == m_category)
                                                  m_categoryRemoved = true;
                                          })
                      << QObject::connect(&collection, &Collection::aboutToReset, [this] { m_reset = true; });
    }
    ~RemovalWatch()
    {
        for (const auto &connection : std::as_const(m_connections))
            QObject::disconnect(connection);
    }
    RemovalWatch(const RemovalWatch &) = delete;
    RemovalWatch &operator=(const RemovalWatch &) = delete;

    bool removed() const { return m_reset || m_categoryRemoved || !m_removedItems.isEmpty(); }
    bool removed(const Item *item) const { return m_reset || m_categoryRemoved || m_removedItems.contains(item); }

private:
    QList<QMetaObject::Connection> m_connections;
    QSet<const Item *> m_watched;
    QSet<const Item *> m_removedItems;
    const CategoryNode *m_category = nullptr;
    bool m_categoryRemoved = false;
    bool m_reset = false;
};

bool refusesItems(const CategoryNode *category)
{
    // Also a category that already holds the moving item: it stays as full.
    return category->rec.lockAtLimit && category->itemCount() >= category->rec.limit;
}

} // namespace

TreeEditor::TreeEditor(Collection &collection, const Options &options, MessageBoxService &messages,
                       TreeDialogs &dialogs, QObject *parent)
    : QObject(parent), m_collection(collection), m_options(options), m_messages(messages), m_dialogs(dialogs)
{
}

// ---- categories -----------------------------------------------------------------

CategoryNode *TreeEditor::addCategory(bool forced)
{
    const ModalSession session;
    const auto properties = m_dialogs.categoryProperties(TreeDialogs::CategoryMode::New, nullptr, !forced);
    if (!properties)
        return nullptr;
    CategoryNode *category = m_collection.appendCategory(properties->name, properties->settings);
    m_collection.setEditModified();
    // A tree of this one node has nothing to select it by: it is current.
    if (m_collection.categoryCount() == 1 && m_collection.totalItemCount() == 0)
        m_collection.setCurrentCategory(category);
    emit selectNode({category, nullptr});
    if (!properties->copyFrom.isEmpty())
        m_collection.copyItems(m_collection.findCategory(properties->copyFrom), category, true);
    emit categoriesChanged();
    return category;
}

void TreeEditor::editCategory(CategoryNode *category)
{
    if (!category)
        return;
    const ModalSession session;
    // Its answer is applied only to a category still there: anything that
    // frees it meanwhile may put another record at its address.
    const QString name = category->name;
    const RemovalWatch watch(m_collection, QSet<const Item *>{}, category);
    const auto properties = m_dialogs.categoryProperties(TreeDialogs::CategoryMode::Edit, category, true);
    if (!properties)
        return;
    if (watch.removed()) {
        m_messages.show(MessageBoxService::Icon::Information, QStringLiteral("Information"), kCategoryGone.arg(name),
                        MessageBoxService::Ok);
        return;
    }
    m_collection.renameCategory(category, properties->name);
    category->rec = properties->settings;
    if (properties->alphabetize)
        m_collection.sortItems(category);
    // Copied items keep their order ahead of what was there, unless asked for the end.
    if (!properties->copyFrom.isEmpty())
        m_collection.copyItems(m_collection.findCategory(properties->copyFrom), category, properties->copyToEnd);
    m_collection.setEditModified();
    emit categoriesChanged();
    emit nodeChanged({category, nullptr});
}

// ---- items ------------------------------------------------------------------------

void TreeEditor::addTextItem()
{
    const ModalSession session;
    const auto added = m_dialogs.newTextItem();
    if (!added)
        return;
    QStringList refusals;
    if (added->everyCategory) {
        for (const auto &category : m_collection.categories()) {
            if (const Refusal refusal = Collection::refusalOf(category.get()))
                refusals << refusal.why;
        }
    } else if (const Refusal refusal = Collection::refusalOf(m_collection.currentCategory())) {
        refusals << refusal.why;
    }
    m_collection.addNewItem(added->everyCategory, added->item);
    m_collection.setEditModified();
    if (CategoryNode *current = m_collection.currentCategory())
        emit nodeChanged({current, nullptr});
    tellRefused(added->everyCategory ? QStringLiteral("The item was not added to every category.")
                                     : QStringLiteral("The item was not added."),
                refusals);
}

void TreeEditor::tellRefused(const QString &what, const QStringList &reasons)
{
    if (!reasons.isEmpty())
        m_messages.information(what + QLatin1Char(' ') + reasons.join(QLatin1Char(' ')));
}

void TreeEditor::quickAdd()
{
    const ModalSession session;
    const auto items = m_dialogs.quickAdd();
    if (!items || items->isEmpty())
        return;
    Refusal refusal;
    int refused = 0;
    // Each item goes to the top, so adding from the last row up leaves them in row order.
    for (auto item = items->crbegin(); item != items->crend(); ++item) {
        if (const Refusal refusing = Collection::refusalOf(m_collection.currentCategory())) {
            refusal = refusing;
            ++refused;
            continue;
        }
        m_collection.addNewItem(false, *item);
    }
    // Also when a locked, full category took none of them: the user asked for a change.
    m_collection.setEditModified();
    if (CategoryNode *current = m_collection.currentCategory())
        emit nodeChanged({current, nullptr});
    if (refused > 0) {
        const QString what = refused == items->size()
            ? QStringLiteral("The items were not added.")
            : QStringLiteral("%1 of the %2 items were not added.").arg(refused).arg(items->size());
        tellRefused(what, {refusal.why});
    }
}

void TreeEditor::print(TreeNode node)
{
    if (node.isItem() && node.item->kind != ItemKind::Image) {
        const ModalSession session;
        m_dialogs.printItem(*node.item);
    }
}

void TreeEditor::edit(TreeNode node, bool fromTree)
{
    if (node.isCategory()) {
        // A double click opens categories, it does not edit them.
        if (!fromTree)
            editCategory(node.category);
        return;
    }
    if (!node.isItem())
        return;
    const ModalSession session;
    // The dialog works on a copy: the record may be freed while it is up.
    const RemovalWatch watch(m_collection, node.item, node.category);
    Item edited = *node.item;
    if (node.item->kind == ItemKind::Image) {
        if (m_dialogs.viewImage(edited) && !watch.removed()) {
            *node.item = edited;
            m_collection.setEditModified();
            emit nodeChanged(node);
        }
        return;
    }
    editItems(node);
}

void TreeEditor::editItems(TreeNode node)
{
    // The editor may change several items of the category; it works on
    // copies, as any of them may be freed while it is up.
    CategoryNode *category = node.category;
    QList<Item *> records;
    QList<Item> copies;
    QSet<const Item *> watched;
    records.reserve(category->itemCount());
    copies.reserve(category->itemCount());
    watched.reserve(category->itemCount());
    for (const auto &item : category->items) {
        records.append(item.get());
        copies.append(*item);
        watched.insert(item.get());
    }
    const int starting = int(records.indexOf(node.item));
    // A category freed meanwhile counts its items as freed: its pointer is not used then.
    const RemovalWatch watch(m_collection, std::move(watched), category);
    const QList<int> changed = m_dialogs.editItems(copies, starting, category->name);
    for (int position : changed) {
        if (position < 0 || position >= records.size() || watch.removed(records[position]))
            continue;
        Item *record = records[position];
        *record = copies[position];
        record->category = category->name;
        m_collection.setEditModified();
        emit nodeChanged({category, record});
    }
}

// ---- deleting ------------------------------------------------------------------------

void TreeEditor::remove(TreeNode node, bool keepCategory)
{
    if (node.isNull())
        return;
    const ModalSession session;
    const bool confirmEach = m_options.flag(Option::ConfirmItemDelete);
    const auto confirmed = [this](const QString &question) {
        return m_messages.show(MessageBoxService::Icon::Question, kConfirmation, question,
                               MessageBoxService::Yes | MessageBoxService::No) == MessageBoxService::Yes;
    };
    const RemovalWatch watch(m_collection, node.item, node.category);
    if (confirmEach && !confirmed(kDeleteQuestion))
        return;
    // Gone during the question: another record may stand at its address now.
    if (watch.removed())
        return;
    if (node.isItem()) {
        m_collection.setEditModified();
        m_collection.deletions().removeItem(node.item);
        return;
    }

    CategoryNode *category = node.category;
    if (!confirmEach && m_options.flag(Option::ConfirmCategoryDelete) && category->itemCount() > 0) {
        const QString question = keepCategory ? kEmptyCategoryQuestion : kDeleteCategoryQuestion;
        if (!confirmed(question + QStringLiteral("\r\n\r\n") + kCanBeDisabled) || watch.removed())
            return;
    }
    m_collection.setEditModified();
    if (keepCategory) {
        m_collection.deletions().removeItems(category);
        emit nodeChanged(node);
    } else {
        m_collection.deletions().removeCategory(category);
    }
    if (m_collection.categoryCount() == 0) {
        // The program never stands without a category to capture into.
        m_messages.show(MessageBoxService::Icon::Information, QStringLiteral("Information"), kNoData,
                        MessageBoxService::Ok);
        addCategory(true);
    }
    emit categoriesChanged();
}

void TreeEditor::undoDelete()
{
    DeletionHistory &history = m_collection.deletions();
    if (!history.canUndo())
        return;
    const int categories = m_collection.categoryCount();
    const DeletionHistory::Undone undone = history.undo();
    const bool categoryBack = m_collection.categoryCount() != categories;
    if (!undone.restored.isEmpty() || categoryBack)
        m_collection.setEditModified();
    if (categoryBack)
        emit categoriesChanged();
    if (!undone.restored.isEmpty()) {
        Item *first = undone.restored.first();
        CategoryNode *category = m_collection.locate(first).first;
        emit selectNode({category, first});
        emit nodeChanged({category, nullptr});
    }
    if (undone.refusal)
        m_messages.information(undone.message());
}

// ---- drag and drop --------------------------------------------------------------------

bool TreeEditor::canDrop(TreeNode source, TreeNode target) const
{
    if (source.isNull() || target.isNull())
        return false;
    if (source.isCategory())
        return target.isCategory();
    return !refusesItems(target.category);
}

bool TreeEditor::drop(TreeNode source, TreeNode target)
{
    if (!canDrop(source, target)) {
        if (source.isItem() && !target.isNull() && refusesItems(target.category))
            tellRefused(QStringLiteral("The item was not moved."), {Refusal::lockedAndFull(*target.category).why});
        return false;
    }
    if (source.isCategory()) {
        m_collection.moveCategory(source.category, target.category);
    } else if (target.isCategory()) {
        m_collection.moveItem(source.item, target.category, 0);
    } else {
        m_collection.moveItem(source.item, target.category, m_collection.locate(target.item).second);
    }
    m_collection.setEditModified();
    // The drop node is the selection, so its category becomes the current one.
    emit selectNode(target);
    if (source.isCategory())
        emit categoriesChanged();
    return true;
}

// ---- finding --------------------------------------------------------------------------

TreeNode TreeEditor::find(const QString &text, bool matchCase, bool down, TreeNode from, bool continuing)
{
    // Positions in full tree order: (category, -1) is the category node itself.
    int category = m_collection.indexOf(from.category);
    int row = from.isItem() ? m_collection.locate(from.item).second : -1;
    const auto advance = [&] {
        const CategoryNode *node = m_collection.category(category);
        if (down) {
            if (row + 1 < node->itemCount())
                ++row;
            else
                ++category, row = -1;
        } else if (row >= 0) {
            --row;
        } else if (--category >= 0) {
            row = m_collection.category(category)->itemCount() - 1;
        }
    };
    const QStringMatcher matcher(text, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    if (category >= 0) {
        if (continuing)
            advance();
        for (; category >= 0 && category < m_collection.categoryCount(); advance()) {
            if (row < 0)
                continue;
            Item *item = m_collection.category(category)->items[size_t(row)].get();
            // Only plain text is searched: rich text is RTF source, pictures have none.
            if (item->kind == ItemKind::PlainText && matcher.indexIn(item->text) >= 0) {
                const TreeNode found{m_collection.category(category), item};
                emit selectNode(found);
                return found;
            }
        }
    }
    m_messages.show(MessageBoxService::Icon::Error, QStringLiteral("Done"), QStringLiteral("No matches found"),
                    MessageBoxService::Ok);
    return {};
}

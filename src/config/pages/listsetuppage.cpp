#include "config/pages/listsetuppage.h"

#include "common/errorhandler.h"
#include "common/menutext.h"
#include "config/dialogs/finddialog.h"
#include "config/pages/collectiontreeview.h"
#include "config/pages/nodedetailspanel.h"
#include "config/tree/collectiontreemodel.h"
#include "config/tree/treeeditor.h"
#include "store/addtextitementry.h"
#include "store/collection.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QIcon themed(const char *name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(fallback));
}

} // namespace

ListSetupPage::ListSetupPage(Collection &collection, TreeEditor &editor, QWidget *parent)
    : QObject(parent), m_collection(collection), m_editor(editor)
{
    m_page = new QWidget(parent);
    m_page->setObjectName(QStringLiteral("ListSetuptab"));
    auto *layout = new QVBoxLayout(m_page);

    auto *bar = new QWidget(m_page);
    bar->setObjectName(QStringLiteral("ListTB"));
    buildToolbar(bar);
    layout->addWidget(bar);

    auto *splitter = new QSplitter(Qt::Horizontal, m_page);
    splitter->setObjectName(QStringLiteral("Splitter2"));
    m_model = new CollectionTreeModel(collection, m_page);
    m_tree = new CollectionTreeView(*m_model, editor, splitter);
    m_details = new NodeDetailsPanel(splitter);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_details);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    m_find = new FindDialog(m_page);
    connect(m_find, &FindDialog::findNext, this, [this] { ErrorHandler::guard(m_find, [this] { findNext(); }); });

    connect(m_tree, &CollectionTreeView::selectedNodeChanged, this, &ListSetupPage::nodeSelected);
    connect(m_tree, &CollectionTreeView::editRequested, this,
            [this](TreeNode node) { ErrorHandler::guard(m_tree, [this, node] { m_editor.edit(node, true); }); });
    connect(m_tree, &CollectionTreeView::deleteRequested, this,
            [this](TreeNode node) { ErrorHandler::guard(m_tree, [this, node] { m_editor.remove(node); }); });
    connect(m_tree, &CollectionTreeView::undoDeleteRequested, this,
            [this] { ErrorHandler::guard(m_tree, [this] { m_editor.undoDelete(); }); });
    connect(&editor, &TreeEditor::selectNode, m_tree, &CollectionTreeView::selectNode);
    connect(&editor, &TreeEditor::nodeChanged, this, [this](TreeNode node) {
        m_model->refresh(node);
        if (node.category == m_tree->selectedNode().category)
            showDetails(m_tree->selectedNode());
    });
    // Captures, trims and removals change what the panel says of the selected
    // node (its item count, or the node itself when the tree empties).
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, signal, this, [this] { showDetails(m_tree->selectedNode()); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { nodeSelected(m_tree->selectedNode()); });
    nodeSelected({});
}

QToolButton *ListSetupPage::addButton(QWidget *bar, const char *name, const QString &hint, const QIcon &icon)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(QSize(24, 24));
    button->setToolTip(hint);
    // Its picture is all it shows: the hint names it for screen readers.
    button->setAccessibleName(QString(hint).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    bar->layout()->addWidget(button);
    return button;
}

void ListSetupPage::buildToolbar(QWidget *bar)
{
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    const auto guarded = [](QToolButton *button, auto action) {
        QObject::connect(button, &QToolButton::clicked, button,
                         [button, action] { ErrorHandler::guard(button, action); });
    };
    QToolButton *newList =
        addButton(bar, "newdbbtn", QStringLiteral("New group list"), themed("document-new", QStyle::SP_FileIcon));
    guarded(newList, [this] { emit newGroupListRequested(); });
    buildGroupListMenu(addButton(bar, "loaddbbtn", QStringLiteral("Open existing group list"),
                                 themed("document-open", QStyle::SP_DialogOpenButton)));
    QToolButton *saveList = addButton(bar, "savedbbtn", QStringLiteral("Save group list"),
                                      themed("document-save", QStyle::SP_DialogSaveButton));
    guarded(saveList, [this] { emit saveGroupListRequested(); });
    m_print = addButton(bar, "printsb", QStringLiteral("Print selected item"),
                        themed("document-print", QStyle::SP_FileDialogContentsView));
    guarded(m_print, [this] { m_editor.print(m_tree->selectedNode()); });
    row->addSpacing(8);

    QToolButton *add = addButton(bar, "addsb", QStringLiteral("Add category or text item"),
                                 themed("list-add", QStyle::SP_FileDialogNewFolder));
    m_addMenu = new QMenu(add);
    m_addMenu->setObjectName(QStringLiteral("addpm"));
    QAction *newCategory = m_addMenu->addAction(QStringLiteral("Add New Category..."));
    newCategory->setObjectName(QStringLiteral("NewCategory1"));
    m_addItem = m_addMenu->addAction(QStringLiteral("Add Text Item..."));
    m_addItem->setObjectName(QStringLiteral("Additem1"));
    m_addMenu->addSeparator();
    QAction *quickAdd = m_addMenu->addAction(QStringLiteral("Quick Add..."));
    quickAdd->setObjectName(QStringLiteral("QuickAdd1"));
    connect(m_addMenu, &QMenu::aboutToShow, this, &ListSetupPage::prepareAddMenu);
    connect(newCategory, &QAction::triggered, this,
            [this] { ErrorHandler::guard(m_addMenu, [this] { m_editor.addCategory(); }); });
    connect(m_addItem, &QAction::triggered, this,
            [this] { ErrorHandler::guard(m_addMenu, [this] { m_editor.addTextItem(); }); });
    connect(quickAdd, &QAction::triggered, this,
            [this] { ErrorHandler::guard(m_addMenu, [this] { m_editor.quickAdd(); }); });
    // The menu opens just below the button, which stays down meanwhile.
    add->setMenu(m_addMenu);
    add->setPopupMode(QToolButton::InstantPopup);

    guarded(addButton(bar, "editbtn", QStringLiteral("Edit selected category/item"),
                      themed("document-edit", QStyle::SP_FileDialogDetailedView)),
            [this] { editSelected(); });
    guarded(addButton(bar, "deletebtn", QStringLiteral("Delete selected item"), themed("edit-delete", QStyle::SP_TrashIcon)),
            [this] { deleteSelected(false); });
    m_keepCategory = addButton(bar, "keepcatsb",
                               QStringLiteral("Delete selected category's items,\r\nbut don't delete the actual category"),
                               themed("edit-clear", QStyle::SP_DialogResetButton));
    guarded(m_keepCategory, [this] { deleteSelected(true); });
    guarded(addButton(bar, "findsb",
                      QStringLiteral("Find text items - searches through\r\nthe text item's content, not aliases"),
                      themed("edit-find", QStyle::SP_FileDialogContentsView)),
            [this] { showFindDialog(); });
    row->addSpacing(8);
    guarded(addButton(bar, "SpeedButton1", QStringLiteral("Restore last saved changes"),
                      themed("edit-undo", QStyle::SP_BrowserReload)),
            [this] { emit restoreRequested(); });
    row->addStretch(1);
}

void ListSetupPage::buildGroupListMenu(QToolButton *button)
{
    m_groupListMenu = new QMenu(button);
    m_groupListMenu->setObjectName(QStringLiteral("pmDBList"));
    const auto entry = [this](const char *name, const QString &text, auto signal) {
        QAction *action = m_groupListMenu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this,
                [this, signal] { ErrorHandler::guard(m_groupListMenu, [this, signal] { emit(this->*signal)(); }); });
        return action;
    };
    entry("Open1", QStringLiteral("Open..."), &ListSetupPage::openGroupListRequested);
    m_groupListMenu->addSeparator();
    int index = 0;
    for (const char *name : {"One", "Two", "Three", "Four", "Five"}) {
        QAction *recent = m_groupListMenu->addAction(QString());
        recent->setObjectName(QLatin1String(name));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, index] {
            ErrorHandler::guard(m_groupListMenu, [this, index] { emit recentGroupListChosen(index); });
        });
        m_recentEntries.append(recent);
        ++index;
    }
    m_groupListMenu->addSeparator();
    entry("Clearlist1", QStringLiteral("Clear list"), &ListSetupPage::clearRecentGroupListsRequested);
    connect(m_groupListMenu, &QMenu::aboutToShow, this, &ListSetupPage::recentGroupListsWanted);
    // The menu opens just below the button, which stays down meanwhile.
    button->setMenu(m_groupListMenu);
    button->setPopupMode(QToolButton::InstantPopup);
}

void ListSetupPage::showRecentGroupLists(const QStringList &paths)
{
    for (int i = 0; i < m_recentEntries.size(); ++i) {
        QAction *entry = m_recentEntries[i];
        const bool present = i < paths.size();
        entry->setText(present ? MenuText::literal(paths[i]) : QString());
        entry->setVisible(present);
    }
}

QString ListSetupPage::title() const
{
    return m_fileName.isEmpty() ? QStringLiteral("List Setup") : QStringLiteral("List Setup - ") + m_fileName;
}

QString ListSetupPage::helpTopic() const
{
    return QStringLiteral("List_Setup_Tab");
}

void ListSetupPage::prepareAddMenu()
{
    const AddTextItemEntry entry = addTextItemEntry(m_collection.currentCategory());
    m_addItem->setText(entry.caption);
    m_addItem->setEnabled(entry.enabled);
}

void ListSetupPage::showDetails(TreeNode node)
{
    m_keepCategory->setEnabled(node.isCategory());
    m_print->setEnabled(node.isItem() && node.item->kind != ItemKind::Image);
    m_details->showNode(node);
}

void ListSetupPage::nodeSelected(TreeNode node)
{
    showDetails(node);
    // A lone category node keeps the current category it was given.
    if (node.isItem() || (node.isCategory() && m_collection.categoryCount() + m_collection.totalItemCount() > 1))
        emit categorySelected(node.category);
}

void ListSetupPage::editSelected()
{
    m_editor.edit(m_tree->selectedNode(), false);
}

void ListSetupPage::deleteSelected(bool keepCategory)
{
    m_editor.remove(m_tree->selectedNode(), keepCategory);
}

void ListSetupPage::showFindDialog()
{
    // Over the details panel, so the tree and its matches stay in sight.
    if (!m_find->isVisible() && m_details->isVisible())
        m_find->move(m_details->mapToGlobal(QPoint(0, 0)));
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void ListSetupPage::findNext()
{
    const bool continuing = m_find->continuing();
    m_find->markSearched();
    if (!m_editor.find(m_find->text(), m_find->matchCase(), m_find->searchDown(), m_tree->selectedNode(), continuing)
             .isNull())
        m_tree->setFocus();
}

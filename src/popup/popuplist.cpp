#include "popup/popuplist.h"

#include "popup/companionplacement.h"
#include "popup/foundrowdelegate.h"
#include "popup/pasteengine.h"
#include "popup/popuplistmodel.h"
#include "popup/previewwindow.h"
#include "popup/searchengine.h"

#include "richtext/textexcerpt.h"

#include "common/menutext.h"
#include "common/messageboxservice.h"
#include "settings/globalpastechoice.h"
#include "settings/options.h"
#include "store/collection.h"
#include "store/deletionhistory.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <algorithm>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSet>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <QToolButton>

namespace {

const QString kDeleteQuestion = QStringLiteral(
    "Are you sure you want to delete?  (pressing Cancel will restore all changes you make)\r\n\r\n(This dialog can be "
    "disabled from the Miscellaneous tab in General Options.)");

// All an edit of the list's record gives back, the picture of an image item
// among it: the one place where the list touches a picture.
void writeBackEdit(const Item &edited, Item &record)
{
    record.action = edited.action;
    record.extraText = edited.extraText;
    record.pasteMethod = edited.pasteMethod;
    record.alias = edited.alias;
    record.kind = edited.kind;
    record.text = edited.text;
    record.actionCount = edited.actionCount;
    record.pictureSize = edited.pictureSize;
    record.created = edited.created;
}

} // namespace

PopupList::PopupList(Collection &collection, Options &options, PasteEngine &engine, Desktop &desktop,
               MessageBoxService &messages, ForeignFocus &target, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_collection(collection)
    , m_options(options)
    , m_engine(engine)
    , m_desktop(desktop)
    , m_messages(messages)
    , m_target(target)
{
    setObjectName(QStringLiteral("frmlb"));
    setWindowTitle(QStringLiteral("List box"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_strip = new QWidget(this);
    m_strip->setObjectName(QStringLiteral("strip"));
    auto *exit = addStripButton("Exitbtn", 0, 14, QStringLiteral("x"), QStringLiteral("(ESC) Close this pop-up list window"));
    auto *move = addStripButton("movesb", 14, 16, QStringLiteral("+"), QStringLiteral("(CTRL-M) Move this pop-up window"));
    move->setCheckable(true);
    auto *disable = addStripButton("disablebtn", 30, 17, QStringLiteral("o"),
                                   QStringLiteral("(CTRL-D) Disable this pop-up list feature"));
    auto *config = addStripButton("configsb", 54, 17, QStringLiteral("C"),
                                  QStringLiteral("(CTRL-C) Open the Configuration window"));
    auto *del = addStripButton("deletesb", 71, 17, QStringLiteral("D"), QStringLiteral("(DEL) Delete selected item(s)"));
    auto *edit = addStripButton("editsb", 89, 17, QStringLiteral("E"), QStringLiteral("(CTRL-E) Edit focused item"));
    auto *preview = addStripButton("previewsb", 113, 21, QStringLiteral("P"),
                                   QStringLiteral("(CTRL-P) Toggle the preview window"));
    preview->setCheckable(true);
    auto *hint = addStripButton("hintsb", 134, 21, QStringLiteral("T"), QStringLiteral("(CTRL-T) Toggle the tooltips window"));
    hint->setCheckable(true);
    m_methodButton = addStripButton("gpmsb", 163, 22, QStringLiteral("G"),
                             QStringLiteral("(CTRL-G) Change the global pasting method"));
    m_categoryButton = addStripButton("pmsb", 185, 15, QStringLiteral("v"), QStringLiteral("(ALT) Switch categories"));
    m_itemButtons = {exit, move, disable, config, del, edit, preview, hint, m_methodButton};
    connect(edit, &QToolButton::clicked, this, &PopupList::editFocused);
    connect(move, &QToolButton::clicked, this, &PopupList::toggleMoveMode);
    connect(preview, &QToolButton::clicked, this, &PopupList::togglePreview);
    connect(hint, &QToolButton::clicked, this, &PopupList::toggleTooltip);
    connect(exit, &QToolButton::clicked, this, &PopupList::closeList);
    connect(disable, &QToolButton::clicked, this, [this] {
        emit disableRequested();
        close();
    });
    connect(config, &QToolButton::clicked, this, [this] {
        close();
        emit configurationRequested();
    });
    connect(del, &QToolButton::clicked, this, &PopupList::deleteSelected);
    connect(m_methodButton, &QToolButton::clicked, this, &PopupList::showGlobalMethodMenu);
    connect(m_categoryButton, &QToolButton::clicked, this, &PopupList::showCategoryMenu);

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("noticerow"));
    m_notice->setAutoFillBackground(true);
    m_notice->setBackgroundRole(QPalette::ToolTipBase);
    m_notice->setForegroundRole(QPalette::ToolTipText);
    m_notice->setIndent(2);
    m_notice->hide();

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("searchedit"));
    m_search->setPlaceholderText(QStringLiteral("Search all categories"));
    m_search->setAccessibleName(m_search->placeholderText());
    m_search->hide();
    m_finder = new SearchEngine(m_collection, this);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &typed) {
        m_finder->start(typed);
        // The first slice runs with the key, so the first screenful is
        // painted with the key's own repaint; the rest follows from the event loop.
        m_finder->step(SearchEngine::SliceNanoseconds);
    });
    connect(m_finder, &SearchEngine::restarted, this, &PopupList::showSearchStarted);
    connect(m_finder, &SearchEngine::found, this, &PopupList::showFound);

    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("lb"));
    m_rows = new PopupListModel(m_list);
    m_list->setModel(m_rows);
    m_list->setItemDelegate(new FoundRowDelegate(m_list));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every row is as high as the first: the view never measures the others.
    m_list->setUniformItemSizes(true);
    // Long texts are cut short with an ellipsis; a scroll bar would hide a row.
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    m_search->installEventFilter(this);
    m_list->viewport()->setMouseTracking(true);
    m_strip->installEventFilter(this);
    m_moveOverlay = new QWidget(this);
    m_moveOverlay->setCursor(Qt::SizeAllCursor);
    m_moveOverlay->installEventFilter(this);
    m_moveOverlay->hide();
    m_list->setIconSize(QSize(11, 11));
    {
        // The height of a row showing "Text", as the list itself draws it.
        Item sample;
        m_rows->showEntries({CurrentItem{QStringLiteral("Text"), &sample}});
        m_itemHeight = std::max(m_list->sizeHintForRow(0), QFontMetrics(m_list->font()).height());
        m_rows->showEntries({});
    }
    const auto selectionMoved = [this] {
        if (!m_filling)
            updateSelectionOrder();
    };
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionMoved);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, selectionMoved);
    connect(m_list, &QListView::doubleClicked, this, &PopupList::pasteSelection);

    const auto shortcut = [this](const char *keys, auto slot) {
        auto *key = new QShortcut(QKeySequence(QLatin1String(keys)), this);
        connect(key, &QShortcut::activated, this, slot);
        m_itemShortcuts << key;
    };
    shortcut("Ctrl+X", [this] { closeList(); });
    shortcut("Ctrl+D", [disable] { disable->click(); });
    shortcut("Ctrl+C", [config] { config->click(); });
    shortcut("Ctrl+G", [this] { showGlobalMethodMenu(); });
    shortcut("Ctrl+M", [this] { toggleMoveMode(); });
    shortcut("Ctrl+P", [this] { togglePreview(); });
    shortcut("Ctrl+T", [this] { toggleTooltip(); });
    shortcut("Ctrl+E", [this] { editFocused(); });
    // Undo works on an empty list too: the delete may have emptied it.
    auto *undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, &PopupList::undoDelete);
    // So does the search: an empty category is where the user looks elsewhere.
    auto *find = new QShortcut(QKeySequence(QStringLiteral("Ctrl+F")), this);
    connect(find, &QShortcut::activated, this, [this] { openSearch(); });
    m_windowShortcuts = {undo, find};

    // Rows stand for their records: a record the collection frees while the
    // list is open (a capture trimming a full category) leaves its row.
    connect(&m_collection, &Collection::aboutToRemoveItems, this, [this](int categoryIndex, int first, int last) {
        const QSet<const Item *> freed = m_collection.itemsAt(categoryIndex, first, last);
        if (freed.isEmpty())
            return;
        forgetEntries([&freed](const Item *item) { return freed.contains(item); });
    });
    connect(&m_collection, &Collection::aboutToReset, this, [this] {
        forgetEntries([](const Item *) { return true; });
    });
    // The list and its companions close as one when the user goes elsewhere.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &PopupList::checkActivation);
}

void PopupList::forgetEntries(const std::function<bool(const Item *)> &freed)
{
    const QList<int> rows = m_rows->forget(freed);
    if (rows.isEmpty())
        return;
    for (const int row : rows) {
        m_list->selectionModel()->select(m_rows->index(row), QItemSelectionModel::Deselect);
        m_list->setRowHidden(row, true);
    }
    m_order.update(selectedRows(), m_rows->rowCount(), currentRow());
}

int PopupList::currentRow() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void PopupList::setCurrentRow(int row)
{
    m_list->selectionModel()->setCurrentIndex(m_rows->index(row), QItemSelectionModel::ClearAndSelect);
}

QList<int> PopupList::selectedRows() const
{
    QList<int> rows;
    for (const QItemSelectionRange &range : m_list->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QToolButton *PopupList::addStripButton(const char *name, int left, int width, const QString &text, const QString &hint)
{
    auto *button = new QToolButton(m_strip);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setText(text);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, 0, width, StripHeight);
    QFont small = button->font();
    small.setPixelSize(9);
    button->setFont(small);
    return button;
}

void PopupList::rebuild()
{
    m_hoverIndex = -2;
    if (m_options.flag(Option::ItemTooltip) && !m_hint)
        m_hint = new ItemTooltip;
    m_finder->setFirstBatch(m_options.number(Option::ListRows));
    // An open search looks again: the current category, which leads the
    // found rows, may be another now.
    if (m_searchOpen)
        m_finder->start(m_search->text());
    else
        showCurrentCategory();
    layOut();
    keepOnScreen();
    createPreview();
    updateSelectionOrder();
    shapeWindow();
    findChild<QToolButton *>(QStringLiteral("hintsb"))->setChecked(m_hint);
}

void PopupList::enableItemControls(bool on)
{
    for (QToolButton *button : std::as_const(m_itemButtons))
        button->setEnabled(on);
    for (QShortcut *key : std::as_const(m_itemShortcuts))
        key->setEnabled(on);
}

void PopupList::showCurrentCategory()
{
    m_order.clear();
    m_hoverIndex = -2;
    const QList<CurrentItem> &entries = m_collection.currentItems();
    m_noItems = entries.isEmpty();
    // Only the category button, Alt and Esc work while the category is empty.
    enableItemControls(!m_noItems);
    {
        const QScopedValueRollback filling(m_filling, true);
        m_list->setEnabled(!m_noItems && !m_moveMode);
        if (m_noItems) {
            m_rows->showLines({QStringLiteral("*NO ITEMS IN CURRENT CATEGORY*"), QString(),
                               QStringLiteral("  -PRESS ALT TO SWITCH CATEGORIES")});
        } else {
            m_rows->showEntries(entries);
            setCurrentRow(0);
        }
    }
    updateSelectionOrder();
}

void PopupList::showSearchStarted()
{
    // Nothing typed but blanks: the current category, as without a search.
    if (m_finder->query().isEmpty()) {
        showCurrentCategory();
        return;
    }
    m_order.clear();
    m_hoverIndex = -2;
    m_noItems = false;
    enableItemControls(true);
    const QScopedValueRollback filling(m_filling, true);
    m_list->setEnabled(!m_moveMode);
    m_rows->showFound({});
}

void PopupList::showFound(const QList<Item *> &items)
{
    const bool first = m_rows->rowCount() == 0;
    m_rows->appendFound(items);
    // Later finds join below; the row the user is on stays where it is.
    if (first && m_rows->rowCount() > 0) {
        {
            const QScopedValueRollback filling(m_filling, true);
            setCurrentRow(0);
        }
        updateSelectionOrder();
    }
}

void PopupList::layOut()
{
    const bool strip = m_options.flag(Option::ListHelpButtons);
    const int rows = m_options.number(Option::ListRows);
    int listHeight = rows * m_itemHeight;
    // While the search is open the window keeps its size as the rows come and go.
    const int shown = m_rows->rowCount();
    if (m_options.flag(Option::ShrinkList) && !m_noItems && !m_searchOpen && shown < rows)
        listHeight -= (rows - shown) * m_itemHeight;
    const int width = m_options.number(Option::ListWidth);
    const int noticeHeight = m_noticeText.isEmpty() ? 0 : m_itemHeight;
    const int searchHeight = m_searchOpen ? m_search->sizeHint().height() : 0;
    const int top = (strip ? StripHeight : 0) + noticeHeight;
    m_strip->setVisible(strip);
    m_strip->setGeometry(0, 0, width, StripHeight);
    m_notice->setGeometry(0, top - noticeHeight, width, noticeHeight);
    m_notice->setText(m_notice->fontMetrics().elidedText(m_noticeText, Qt::ElideRight, width - 2 * m_notice->indent()));
    m_notice->setVisible(noticeHeight > 0);
    m_search->setGeometry(0, top, width, searchHeight);
    m_search->setVisible(m_searchOpen);
    m_list->setGeometry(0, top + searchHeight, width, listHeight);
    setFixedSize(width, top + searchHeight + listHeight);
    m_moveOverlay->setGeometry(m_list->geometry());
}

void PopupList::openSearch(const QString &typed)
{
    if (m_moveMode || m_busy)
        return;
    hideTooltip();
    if (!m_searchOpen) {
        m_searchOpen = true;
        layOut();
        keepOnScreen();
        shapeWindow();
        placePreview();
    }
    activateWindow();
    m_search->setFocus();
    if (typed.isEmpty())
        m_search->selectAll();
    else
        m_search->setText(typed);
}

void PopupList::closeSearch()
{
    if (!m_searchOpen)
        return;
    m_finder->stop();
    m_searchOpen = false;
    {
        const QSignalBlocker quiet(m_search);
        m_search->clear();
    }
    m_search->clearFocus();
    rebuild();
    placePreview();
    focusInput();
}

void PopupList::focusInput()
{
    if (m_searchOpen)
        m_search->setFocus();
    else if (m_list->isEnabled())
        m_list->setFocus();
}

void PopupList::takeFocus()
{
    if (m_preview)
        m_preview->show();
    activateWindow();
    focusInput();
}

void PopupList::keepOnScreen()
{
    move(CompanionPlacement::keptOnScreen(pos(), size(), m_desktop.screenGeometry(pos())));
}

void PopupList::shapeWindow()
{
    // The strip stands out like a tab: the top edge right of the category button is cut away.
    if (!m_options.flag(Option::ListHelpButtons)) {
        clearMask();
        return;
    }
    QRegion region(0, 0, width(), height());
    const int cutLeft = m_categoryButton->geometry().right() + 1 + 5;
    if (cutLeft < width())
        region -= QRegion(cutLeft, 0, width() - cutLeft, StripHeight + 1);
    setMask(region);
}

void PopupList::updateSelectionOrder()
{
    if (m_noItems)
        return;
    m_order.update(selectedRows(), m_rows->rowCount(), currentRow());
    if (m_preview)
        if (Item *item = entryAt(currentRow()))
            m_preview->showItem(*item);
}

bool PopupList::isCompanion(const QWidget *window) const
{
    return window && (window == m_preview.data() || window == m_hint.data());
}

Item *PopupList::entryAt(int row) const
{
    return m_rows->record(row);
}

bool PopupList::createPreview()
{
    if (m_preview || !m_options.flag(Option::PreviewWindow))
        return false;
    m_preview = new PreviewWindow;
    connect(m_preview, &PreviewWindow::closeListRequested, this, &PopupList::closeList);
    connect(m_preview, &PreviewWindow::toggleRequested, this, &PopupList::togglePreview);
    connect(m_preview, &PreviewWindow::editRequested, this, &PopupList::editFocused);
    connect(m_preview, &PreviewWindow::configurationRequested, this, [this] {
        close();
        emit configurationRequested();
    });
    connect(m_preview, &PreviewWindow::disableRequested, this, [this] {
        emit disableRequested();
        close();
    });
    connect(m_preview, &PreviewWindow::closed, this, [this] {
        if (auto *button = findChild<QToolButton *>(QStringLiteral("previewsb")))
            button->setChecked(false);
    });
    findChild<QToolButton *>(QStringLiteral("previewsb"))->setChecked(true);
    placePreview();
    if (isVisible())
        m_preview->show();
    return true;
}

void PopupList::placePreview()
{
    if (!m_preview)
        return;
    const int height = m_options.number(Option::ListRows) * m_itemHeight;
    m_preview->resize(m_preview->width(), height);
    const int left = CompanionPlacement::previewLeft(x(), width(), m_preview->width(), m_desktop.screenGeometry(pos()));
    m_preview->move(left, y() + m_list->y());
}

void PopupList::togglePreview()
{
    hideTooltip();
    if (m_preview && m_preview->isVisible()) {
        m_options.set(Option::PreviewWindow, false);
        m_preview->close();
        m_preview = nullptr;
        return;
    }
    m_options.set(Option::PreviewWindow, true);
    if (createPreview()) {
        m_preview->show();
        updateSelectionOrder();
        activateWindow();
        focusInput();
    }
}

void PopupList::toggleTooltip()
{
    if (m_hint) {
        m_options.set(Option::ItemTooltip, false);
        m_hint->close();
        m_hint = nullptr;
    } else {
        m_options.set(Option::ItemTooltip, true);
        m_hint = new ItemTooltip;
        m_hoverIndex = -2;
    }
    findChild<QToolButton *>(QStringLiteral("hintsb"))->setChecked(m_hint);
}

void PopupList::hideTooltip()
{
    if (m_hint && m_hint->isVisible())
        m_hint->hide();
}

void PopupList::followPointer(QPoint position)
{
    if (!m_hint)
        return;
    const QModelIndex under = m_noItems ? QModelIndex() : m_list->indexAt(position);
    const int row = under.isValid() ? under.row() : -1;
    if (row == m_hoverIndex)
        return;
    m_hoverIndex = row;
    const Item *item = entryAt(row);
    if (!item || item->kind == ItemKind::Image) {
        hideTooltip();
        return;
    }
    const QString text = TextExcerpt::plainText(item->text, item->kind == ItemKind::RichText);
    const QPoint pointer = m_list->viewport()->mapToGlobal(position);
    m_hint->showTip(text, pointer, m_desktop.screenGeometry(pointer));
    m_list->setFocus();
}

void PopupList::toggleMoveMode()
{
    hideTooltip();
    m_moveMode = !m_moveMode;
    findChild<QToolButton *>(QStringLiteral("movesb"))->setChecked(m_moveMode);
    if (m_moveMode) {
        setCursor(Qt::SizeAllCursor);
        if (!m_noItems)
            m_list->setEnabled(false);
        m_moveOverlay->setGeometry(m_list->geometry());
        m_moveOverlay->show();
        m_moveOverlay->raise();
    } else {
        unsetCursor();
        m_moveOverlay->hide();
        if (!m_noItems) {
            m_list->setEnabled(true);
            focusInput();
        }
    }
}

void PopupList::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_preview)
        m_preview->show();
}

void PopupList::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    placePreview();
}

void PopupList::pasteSelection()
{
    // A search that has found nothing (yet) leaves the list open for more typing.
    if (m_busy || (m_rows->showsFound() && m_rows->rowCount() == 0))
        return;
    m_busy = true;
    // However the run ends, even by an error on its way to the error
    // handler, the list closes and the hotkey comes back.
    struct CloseAtEnd
    {
        PopupList *list;
        ~CloseAtEnd() { list->close(); }
    } closeAtEnd{this};
    hideTooltip();
    if (m_preview)
        m_preview->hide();
    hide();
    QList<const Item *> entries;
    for (const int index : m_order.order()) {
        if (const Item *item = entryAt(index))
            entries << item;
    }
    m_engine.pasteSelection(entries, m_target);
}

void PopupList::closeList()
{
    if (!isVisible())
        return;
    // Bringing the target back may let events through while the desktop
    // waits for it: the list, inactive meanwhile, must not close (and go)
    // under this call.
    m_busy = true;
    const QPointer<PopupList> alive(this);
    m_desktop.refocus(m_target);
    if (alive)
        close();
}

void PopupList::deleteSelected()
{
    if (m_noItems)
        return;
    const int focused = currentRow();
    QList<int> doomed = selectedRows();
    doomed.removeIf([this](int row) { return !entryAt(row); });
    if (doomed.isEmpty())
        return;
    m_busy = true;
    // The whole selection is one step for Ctrl+Z.
    DeletionHistory &history = m_collection.deletions();
    history.startStep();
    const auto stepDone = qScopeGuard([&history] { history.finishStep(); });
    for (const int row : std::as_const(doomed)) {
        m_collection.setCaptureModified();
        // A capture during an earlier question may have freed this one.
        Item *item = entryAt(row);
        if (!item)
            continue;
        if (m_options.flag(Option::ConfirmItemDelete)
            && m_messages.show(MessageBoxService::Icon::Question, QStringLiteral("Confirmation"), kDeleteQuestion,
                               MessageBoxService::Yes | MessageBoxService::No)
                   != MessageBoxService::Yes)
            continue;
        history.removeItem(item);
    }
    m_busy = false;
    m_collection.refreshCurrentItems();
    if (m_rows->showsFound()) {
        // The found rows stay as they were found, less the deleted ones; the
        // focus goes to the row that moved up into the focused one's place.
        int above = 0;
        for (const int row : std::as_const(doomed))
            above += row < focused && !entryAt(row) ? 1 : 0;
        m_rows->dropForgotten();
        m_order.clear();
        if (m_rows->rowCount() > 0) {
            const QScopedValueRollback filling(m_filling, true);
            setCurrentRow(std::clamp(focused - above, 0, m_rows->rowCount() - 1));
        }
        updateSelectionOrder();
    } else {
        rebuild();
        if (doomed.size() == 1 && !m_noItems) {
            setCurrentRow(std::min(focused, m_rows->rowCount() - 1));
            m_order.clear();
            updateSelectionOrder();
        }
    }
    activateWindow();
    focusInput();
}

void PopupList::undoDelete()
{
    DeletionHistory &history = m_collection.deletions();
    if (m_busy || !history.canUndo())
        return;
    const DeletionHistory::Undone undone = history.undo();
    if (!undone.restored.isEmpty())
        m_collection.setCaptureModified();
    m_collection.refreshCurrentItems();
    rebuild();
    // A search looks again at once, so that what came back is among its rows.
    if (m_searchOpen)
        m_finder->step(-1);
    // What came back is the selection, in the order it stands.
    QList<int> rows;
    for (const Item *item : undone.restored) {
        if (const int row = m_rows->rowOf(item); row >= 0)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    if (!m_noItems && !rows.isEmpty()) {
        // Focused on the lowest, so that the order of the pick is the list's.
        setCurrentRow(rows.last());
        for (const int row : std::as_const(rows))
            m_list->selectionModel()->select(m_rows->index(row), QItemSelectionModel::Select);
        m_order.clear();
        updateSelectionOrder();
    }
    if (undone.refusal) {
        m_busy = true;
        m_messages.information(undone.message());
        m_busy = false;
    }
    activateWindow();
    focusInput();
}

void PopupList::setNotice(const QString &text)
{
    m_noticeText = text;
    m_notice->setToolTip(text);
}

void PopupList::editFocused()
{
    const int row = currentRow();
    Item *item = entryAt(row);
    if (!item || !m_itemEditor || m_busy)
        return;
    hideTooltip();
    m_busy = true;
    // The editor works on a copy: a capture while it is open may free the record.
    Item edited = *item;
    const bool accepted = m_itemEditor(edited);
    m_busy = false;
    if (accepted && entryAt(row) == item && m_rows->showsFound()) {
        // A found row stays where it was found, showing its new alias.
        writeBackEdit(edited, *item);
        m_collection.setCaptureModified();
        m_collection.refreshCurrentItems();
        m_rows->refreshRow(row);
        updateSelectionOrder();
    } else if (accepted && entryAt(row) == item) {
        writeBackEdit(edited, *item);
        m_collection.setCaptureModified();
        m_collection.refreshCurrentItems();
        rebuild();
        // Captures made meanwhile moved the row down; the record keeps the focus.
        const int focused = m_rows->rowOf(item);
        if (!m_noItems && focused >= 0) {
            setCurrentRow(focused);
            m_order.clear();
            updateSelectionOrder();
        }
    }
    activateWindow();
    focusInput();
}

void PopupList::showCategoryMenu()
{
    QMenu menu(this);
    for (int i = 0; i < m_collection.categoryCount(); ++i) {
        QAction *action = menu.addAction(MenuText::literal(m_collection.category(i)->name));
        action->setCheckable(true);
        action->setChecked(m_collection.category(i) == m_collection.currentCategory());
        connect(action, &QAction::triggered, this, [this, i] { emit categoryChosen(i); });
    }
    m_busy = true;
    menu.exec(m_categoryButton->mapToGlobal(QPoint(0, m_categoryButton->height())));
    m_busy = false;
    activateWindow();
    focusInput();
}

void PopupList::showGlobalMethodMenu()
{
    QMenu menu(this);
    const int current = GlobalPasteChoice::current(m_options);
    const auto addChoice = [this, &menu, current](const QString &caption, int choice) {
        QAction *action = menu.addAction(caption);
        action->setCheckable(true);
        action->setChecked(choice == current);
        connect(action, &QAction::triggered, this, [this, choice] { GlobalPasteChoice::choose(m_options, choice); });
    };
    const QStringList &captions = GlobalPasteChoice::methodCaptions();
    for (int i = 0; i < captions.size(); ++i)
        addChoice(captions[i], i);
    menu.addSeparator();
    addChoice(GlobalPasteChoice::disableCaption(), GlobalPasteChoice::Disabled);
    m_busy = true;
    menu.exec(m_methodButton->mapToGlobal(QPoint(0, m_methodButton->height())));
    m_busy = false;
    activateWindow();
}

bool PopupList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseMove)
        followPointer(static_cast<QMouseEvent *>(event)->position().toPoint());
    if (watched == m_strip && event->type() == QEvent::MouseMove)
        hideTooltip();
    if (watched == m_moveOverlay) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (event->type() == QEvent::MouseButtonPress) {
            m_dragOffset = mouse->globalPosition().toPoint() - pos();
            return true;
        }
        if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton)) {
            move(mouse->globalPosition().toPoint() - m_dragOffset);
            return true;
        }
    }
    if (watched == m_search && event->type() == QEvent::ShortcutOverride
        && isListShortcut(static_cast<QKeyEvent *>(event)))
        return true;  // the list's Ctrl keys keep their meaning in the field (Ctrl+E is no "end of line" here)
    if (watched == m_search && event->type() == QEvent::KeyPress && handleSearchKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == m_list && event->type() == QEvent::KeyPress && typedIntoSearch(static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == m_list && event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == m_list && event->type() == QEvent::KeyRelease)
        updateSelectionOrder();
    return QWidget::eventFilter(watched, event);
}

bool PopupList::isListShortcut(const QKeyEvent *key) const
{
    const QKeySequence pressed(key->keyCombination());
    for (const QList<QShortcut *> *keys : {&m_itemShortcuts, &m_windowShortcuts}) {
        for (const QShortcut *shortcut : *keys) {
            if (shortcut->isEnabled() && shortcut->key() == pressed)
                return true;
        }
    }
    return false;
}

bool PopupList::typedIntoSearch(QKeyEvent *key)
{
    const QString text = key->text();
    const bool printable = !text.isEmpty() && text.front().isPrint()
                           && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (m_searchOpen && (printable || key->key() == Qt::Key_Backspace)) {
        // Typing goes on in the field, wherever the keyboard was.
        m_search->setFocus();
        QCoreApplication::sendEvent(m_search, key);
        return true;
    }
    // With the option off a letter jumps to the next entry starting with it, as ever.
    if (!m_searchOpen && printable && !text.trimmed().isEmpty() && m_options.flag(Option::TypingSearches)) {
        openSearch(text);
        return m_searchOpen;
    }
    return false;
}

bool PopupList::handleSearchKey(QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Escape: closeSearch(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_noItems)
            pasteSelection();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The rows move under the field's keys, Shift extending the selection as in the list.
        if (m_list->isEnabled())
            QCoreApplication::sendEvent(m_list, key);
        return true;
    case Qt::Key_Delete:
        // Past the end of the typed text there is nothing to delete but the selected rows.
        if (m_search->hasSelectedText() || m_search->cursorPosition() < m_search->text().size())
            return false;
        deleteSelected();
        return true;
    case Qt::Key_Alt: showCategoryMenu(); return true;
    default: return false;
    }
}

bool PopupList::handleKey(QKeyEvent *key)
{
    // The window's own keys work with an empty list and in move mode too,
    // where the list itself takes no keys.
    switch (key->key()) {
    case Qt::Key_Escape:
        // The first Esc ends a search, the next closes the list.
        if (m_searchOpen)
            closeSearch();
        else
            closeList();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_noItems)
            pasteSelection();
        return true;
    case Qt::Key_Delete: deleteSelected(); return true;
    case Qt::Key_Alt: showCategoryMenu(); return true;
    default: return false;
    }
}

void PopupList::keyPressEvent(QKeyEvent *event)
{
    // An empty category's list takes no keys: typing reaches the window.
    // (With the search open, keys arriving here are those the field let pass.)
    if ((m_searchOpen || !typedIntoSearch(event)) && !handleKey(event))
        QWidget::keyPressEvent(event);
}

void PopupList::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        checkActivation();
}

void PopupList::checkActivation()
{
    // Decided once the activation has settled: the focus passes between the
    // list and its companions, menus and questions for a moment.
    QTimer::singleShot(0, this, [this] {
        const QWidget *active = QApplication::activeWindow();
        if (active == this || isCompanion(active)) {
            m_wasActive = true;
            return;
        }
        // Clicking into another application, from the list or from its
        // preview, dismisses the list and its companions.
        if (m_wasActive && !m_busy && isVisible() && !QApplication::activePopupWidget()
            && !QApplication::activeModalWidget())
            close();
    });
}

void PopupList::closeEvent(QCloseEvent *event)
{
    if (m_preview)
        m_preview->close();
    if (m_hint)
        m_hint->close();
    emit closed();
    QWidget::closeEvent(event);
}

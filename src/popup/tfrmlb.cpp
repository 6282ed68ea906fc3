#include "tfrmlb.h"

#include "companionplacement.h"
#include "pasteengine.h"
#include "tfrmpreview.h"

#include "config/rtf/rtfreader.h"

#include "platform/messageboxservice.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <QToolButton>

namespace {

const QString kDeleteQuestion = QStringLiteral(
    "Are you sure you want to delete?  (pressing Cancel will restore all changes you make)\r\n\r\n(This dialog can be "
    "disabled from the Miscellaneous tab in General Options.)");

enum KindIcon { TextIcon, ImageIcon, RichIcon };

QIcon drawKindIcon(KindIcon kind)
{
    const QSize size = kind == ImageIcon ? QSize(11, 10) : kind == RichIcon ? QSize(11, 11) : QSize(8, 11);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(60, 60, 60));
    if (kind == ImageIcon) {
        p.setBrush(QColor(120, 180, 240));
        p.drawRect(0, 0, 10, 9);
        p.setBrush(QColor(40, 150, 60));
        p.drawPolygon(QPolygon({QPoint(1, 8), QPoint(4, 4), QPoint(7, 8)}));
    } else {
        p.setBrush(Qt::white);
        p.drawRect(0, 0, size.width() - 1, size.height() - 1);
        p.setPen(kind == RichIcon ? QColor(200, 40, 40) : QColor(90, 90, 90));
        for (int y = 3; y < size.height() - 1; y += 2)
            p.drawLine(2, y, size.width() - 3, y);
    }
    return QIcon(pixmap);
}

} // namespace

Tfrmlb::Tfrmlb(Collection &collection, Options &options, PasteEngine &engine, Desktop &desktop,
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
    m_kindIcons[TextIcon] = drawKindIcon(TextIcon);
    m_kindIcons[ImageIcon] = drawKindIcon(ImageIcon);
    m_kindIcons[RichIcon] = drawKindIcon(RichIcon);

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
    addStripButton("editsb", 89, 17, QStringLiteral("E"), QStringLiteral("(CTRL-E) Edit focused item"))->setEnabled(false);
    auto *preview = addStripButton("previewsb", 113, 21, QStringLiteral("P"),
                                   QStringLiteral("(CTRL-P) Toggle the preview window"));
    preview->setCheckable(true);
    auto *hint = addStripButton("hintsb", 134, 21, QStringLiteral("T"), QStringLiteral("(CTRL-T) Toggle the tooltips window"));
    hint->setCheckable(true);
    m_gpmsb = addStripButton("gpmsb", 163, 22, QStringLiteral("G"),
                             QStringLiteral("(CTRL-G) Change the global pasting method"));
    m_pmsb = addStripButton("pmsb", 185, 15, QStringLiteral("v"), QStringLiteral("(ALT) Switch categories"));
    m_itemButtons = {exit, move, disable, config, del, preview, hint, m_gpmsb};
    connect(move, &QToolButton::clicked, this, &Tfrmlb::MoveWindow1Click);
    connect(preview, &QToolButton::clicked, this, &Tfrmlb::TogglePreviewWindow1Click);
    connect(hint, &QToolButton::clicked, this, &Tfrmlb::ToggleTooltipsWindow1Click);
    connect(exit, &QToolButton::clicked, this, &Tfrmlb::ExitbtnClick);
    connect(disable, &QToolButton::clicked, this, [this] {
        emit disableRequested();
        close();
    });
    connect(config, &QToolButton::clicked, this, [this] {
        close();
        emit configurationRequested();
    });
    connect(del, &QToolButton::clicked, this, &Tfrmlb::deleteSelected);
    connect(m_gpmsb, &QToolButton::clicked, this, &Tfrmlb::showGlobalMethodMenu);
    connect(m_pmsb, &QToolButton::clicked, this, &Tfrmlb::showCategoryMenu);

    m_lb = new QListWidget(this);
    m_lb->setObjectName(QStringLiteral("lb"));
    m_lb->setFrameShape(QFrame::NoFrame);
    m_lb->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lb->setUniformItemSizes(true);
    m_lb->installEventFilter(this);
    m_lb->viewport()->installEventFilter(this);
    m_lb->viewport()->setMouseTracking(true);
    m_strip->installEventFilter(this);
    m_moveOverlay = new QWidget(this);
    m_moveOverlay->setCursor(Qt::SizeAllCursor);
    m_moveOverlay->installEventFilter(this);
    m_moveOverlay->hide();
    m_lb->setIconSize(QSize(11, 11));
    // The height of a row showing "Text", as the list itself draws it.
    m_lb->addItem(QStringLiteral("Text"));
    m_lb->item(0)->setIcon(m_kindIcons[TextIcon]);
    m_itemHeight = std::max(m_lb->sizeHintForRow(0), QFontMetrics(m_lb->font()).height());
    m_lb->clear();
    connect(m_lb, &QListWidget::itemSelectionChanged, this, &Tfrmlb::lbClick);
    connect(m_lb, &QListWidget::currentRowChanged, this, &Tfrmlb::lbClick);
    connect(m_lb, &QListWidget::itemDoubleClicked, this, &Tfrmlb::SpitText);

    const auto shortcut = [this](const char *keys, auto slot) {
        auto *key = new QShortcut(QKeySequence(QLatin1String(keys)), this);
        connect(key, &QShortcut::activated, this, slot);
        m_itemShortcuts << key;
    };
    shortcut("Ctrl+X", [this] { ExitbtnClick(); });
    shortcut("Ctrl+D", [disable] { disable->click(); });
    shortcut("Ctrl+C", [config] { config->click(); });
    shortcut("Ctrl+G", [this] { showGlobalMethodMenu(); });
    shortcut("Ctrl+M", [this] { MoveWindow1Click(); });
    shortcut("Ctrl+P", [this] { TogglePreviewWindow1Click(); });
    shortcut("Ctrl+T", [this] { ToggleTooltipsWindow1Click(); });
    // Editing from the list comes with the item editor.
    shortcut("Ctrl+E", [] {});

    // Rows stand for their records: a record the collection frees while the
    // list is open (a capture trimming a full category) leaves its row.
    connect(&m_collection, &Collection::aboutToRemoveItem, this, [this](int categoryIndex, int row) {
        if (const CategoryNode *category = m_collection.category(categoryIndex))
            if (row >= 0 && row < category->itemCount())
                forgetEntry(category->items[size_t(row)].get());
    });
    connect(&m_collection, &Collection::aboutToReset, this, [this] {
        for (TItemRec *entry : std::as_const(m_entries))
            forgetEntry(entry);
    });
    // The list and its companions close as one when the user goes elsewhere.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &Tfrmlb::checkActivation);
}

void Tfrmlb::forgetEntry(const TItemRec *item)
{
    const int row = m_entries.indexOf(item);
    if (row < 0 || !item)
        return;
    m_entries[row] = nullptr;
    if (QListWidgetItem *shown = m_lb->item(row)) {
        shown->setSelected(false);
        m_lb->setRowHidden(row, true);
    }
    m_order.update([this](int i) { return m_lb->item(i)->isSelected(); }, m_lb->count(), m_lb->currentRow());
}

QToolButton *Tfrmlb::addStripButton(const char *name, int left, int width, const QString &text, const QString &hint)
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

void Tfrmlb::rebuild()
{
    m_hoverIndex = -2;
    if (m_options.flag(QStringLiteral("tooltip")) && !m_hint)
        m_hint = new TfrmHintWindow;
    m_order.clear();
    const QList<CurrItem> &entries = m_collection.CurrItems();
    m_noItems = entries.isEmpty();
    m_entries.clear();
    for (const CurrItem &entry : entries)
        m_entries << entry.item;
    // Only the category button, Alt and Esc work while the category is empty.
    for (QToolButton *button : std::as_const(m_itemButtons))
        button->setEnabled(!m_noItems);
    for (QShortcut *key : std::as_const(m_itemShortcuts))
        key->setEnabled(!m_noItems);
    const QSignalBlocker block(m_lb);
    m_lb->clear();
    m_lb->setEnabled(!m_noItems && !m_moveMode);
    if (m_noItems) {
        m_lb->addItems({QStringLiteral("*NO ITEMS IN CURRENT CATEGORY*"), QString(),
                        QStringLiteral("  -PRESS ALT TO SWITCH CATEGORIES")});
    } else {
        for (const CurrItem &entry : entries) {
            const int kind = entry.item->Kind;
            new QListWidgetItem(m_kindIcons[kind == TItemRec::Image       ? ImageIcon
                                            : kind == TItemRec::PlainText ? TextIcon
                                                                          : RichIcon],
                                entry.alias, m_lb);
        }
    }

    const bool strip = m_options.flag(QStringLiteral("showx"));
    const int rows = m_options.number(QStringLiteral("plheight"));
    int listHeight = rows * m_itemHeight;
    if (m_options.flag(QStringLiteral("shrink")) && !m_noItems && entries.size() < rows)
        listHeight -= (rows - int(entries.size())) * m_itemHeight;
    const int width = m_options.number(QStringLiteral("wedit"));
    const int top = strip ? StripHeight : 0;
    m_strip->setVisible(strip);
    m_strip->setGeometry(0, 0, width, StripHeight);
    m_lb->setGeometry(0, top, width, listHeight);
    setFixedSize(width, top + listHeight);
    if (!m_noItems)
        m_lb->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    keepOnScreen();
    CreatePreviewWindow();
    lbClick();
    shapeWindow();
    m_moveOverlay->setGeometry(m_lb->geometry());
    findChild<QToolButton *>(QStringLiteral("hintsb"))->setChecked(m_hint);
}

void Tfrmlb::keepOnScreen()
{
    move(CompanionPlacement::keptOnScreen(pos(), size(), m_desktop.screenGeometry(pos())));
}

void Tfrmlb::shapeWindow()
{
    // The strip stands out like a tab: the top edge right of the category button is cut away.
    if (!m_options.flag(QStringLiteral("showx"))) {
        clearMask();
        return;
    }
    QRegion region(0, 0, width(), height());
    const int cutLeft = m_pmsb->geometry().right() + 1 + 5;
    if (cutLeft < width())
        region -= QRegion(cutLeft, 0, width() - cutLeft, StripHeight + 1);
    setMask(region);
}

void Tfrmlb::lbClick()
{
    if (m_noItems)
        return;
    m_order.update([this](int i) { return m_lb->item(i)->isSelected(); }, m_lb->count(), m_lb->currentRow());
    if (m_preview)
        if (TItemRec *item = entryAt(m_lb->currentRow()))
            m_preview->ShowPreviewItem(*item);
}

bool Tfrmlb::isCompanion(const QWidget *window) const
{
    return window && (window == m_preview.data() || window == m_hint.data());
}

TItemRec *Tfrmlb::entryAt(int row) const
{
    return m_noItems ? nullptr : m_entries.value(row);
}

bool Tfrmlb::CreatePreviewWindow()
{
    if (m_preview || !m_options.flag(QStringLiteral("preview")))
        return false;
    m_preview = new TfrmPreview;
    connect(m_preview, &TfrmPreview::closeListRequested, this, &Tfrmlb::ExitbtnClick);
    connect(m_preview, &TfrmPreview::toggleRequested, this, &Tfrmlb::TogglePreviewWindow1Click);
    connect(m_preview, &TfrmPreview::configurationRequested, this, [this] {
        close();
        emit configurationRequested();
    });
    connect(m_preview, &TfrmPreview::disableRequested, this, [this] {
        emit disableRequested();
        close();
    });
    connect(m_preview, &TfrmPreview::closed, this, [this] {
        if (auto *button = findChild<QToolButton *>(QStringLiteral("previewsb")))
            button->setChecked(false);
    });
    findChild<QToolButton *>(QStringLiteral("previewsb"))->setChecked(true);
    PositionPreviewWindow();
    if (isVisible())
        m_preview->show();
    return true;
}

void Tfrmlb::PositionPreviewWindow()
{
    if (!m_preview)
        return;
    const int height = m_options.number(QStringLiteral("plheight")) * m_itemHeight;
    m_preview->resize(m_preview->width(), height);
    const int left = CompanionPlacement::previewLeft(x(), width(), m_preview->width(), m_desktop.screenGeometry(pos()));
    m_preview->move(left, y() + m_lb->y());
}

void Tfrmlb::TogglePreviewWindow1Click()
{
    HideHintWindow();
    if (m_preview && m_preview->isVisible()) {
        m_options.set(QStringLiteral("preview"), false);
        m_preview->close();
        m_preview = nullptr;
        return;
    }
    m_options.set(QStringLiteral("preview"), true);
    if (CreatePreviewWindow()) {
        m_preview->show();
        lbClick();
        activateWindow();
        m_lb->setFocus();
    }
}

void Tfrmlb::ToggleTooltipsWindow1Click()
{
    if (m_hint) {
        m_options.set(QStringLiteral("tooltip"), false);
        m_hint->close();
        m_hint = nullptr;
    } else {
        m_options.set(QStringLiteral("tooltip"), true);
        m_hint = new TfrmHintWindow;
        m_hoverIndex = -2;
    }
    findChild<QToolButton *>(QStringLiteral("hintsb"))->setChecked(m_hint);
}

void Tfrmlb::HideHintWindow()
{
    if (m_hint && m_hint->isVisible())
        m_hint->hide();
}

void Tfrmlb::lbMouseMove(QPoint position)
{
    if (!m_hint)
        return;
    QListWidgetItem *under = m_noItems ? nullptr : m_lb->itemAt(position);
    const int row = under ? m_lb->row(under) : -1;
    if (row == m_hoverIndex)
        return;
    m_hoverIndex = row;
    const TItemRec *item = entryAt(row);
    if (!item || item->Kind == TItemRec::Image) {
        HideHintWindow();
        return;
    }
    const QString text = item->Kind == TItemRec::RichText ? RtfReader::toPlainText(item->Text) : item->Text;
    const QPoint pointer = m_lb->viewport()->mapToGlobal(position);
    m_hint->ShowTipText(text, pointer, m_desktop.screenGeometry(pointer));
    m_lb->setFocus();
}

void Tfrmlb::MoveWindow1Click()
{
    HideHintWindow();
    m_moveMode = !m_moveMode;
    findChild<QToolButton *>(QStringLiteral("movesb"))->setChecked(m_moveMode);
    if (m_moveMode) {
        setCursor(Qt::SizeAllCursor);
        if (!m_noItems)
            m_lb->setEnabled(false);
        m_moveOverlay->setGeometry(m_lb->geometry());
        m_moveOverlay->show();
        m_moveOverlay->raise();
    } else {
        unsetCursor();
        m_moveOverlay->hide();
        if (!m_noItems) {
            m_lb->setEnabled(true);
            m_lb->setFocus();
        }
    }
}

void Tfrmlb::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_preview)
        m_preview->show();
}

void Tfrmlb::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    PositionPreviewWindow();
}

void Tfrmlb::SpitText()
{
    if (m_busy)
        return;
    m_busy = true;
    // However the run ends, even by an error on its way to the error
    // handler, the list closes and the hotkey comes back.
    struct CloseAtEnd
    {
        Tfrmlb *list;
        ~CloseAtEnd() { list->close(); }
    } closeAtEnd{this};
    HideHintWindow();
    if (m_preview)
        m_preview->hide();
    hide();
    QList<const TItemRec *> entries;
    for (const int index : m_order.order()) {
        if (const TItemRec *item = entryAt(index))
            entries << item;
    }
    m_engine.SpitText(entries, m_target);
}

void Tfrmlb::ExitbtnClick()
{
    if (!isVisible())
        return;
    m_desktop.FocusForeignWindow(m_target);
    close();
}

void Tfrmlb::deleteSelected()
{
    if (m_noItems)
        return;
    const int focused = m_lb->currentRow();
    QList<int> doomed;
    for (int i = 0; i < m_lb->count(); ++i) {
        if (m_lb->item(i)->isSelected() && entryAt(i))
            doomed << i;
    }
    if (doomed.isEmpty())
        return;
    m_busy = true;
    for (const int row : std::as_const(doomed)) {
        m_collection.setCaptureModified();
        // A capture during an earlier question may have freed this one.
        TItemRec *item = entryAt(row);
        if (!item)
            continue;
        if (m_options.flag(QStringLiteral("del"))
            && m_messages.show(MessageBoxService::Icon::Question, QStringLiteral("Confirmation"), kDeleteQuestion,
                               MessageBoxService::Yes | MessageBoxService::No)
                   != MessageBoxService::Yes)
            continue;
        m_collection.removeItem(item);
    }
    m_busy = false;
    m_collection.LoadCurrlb();
    rebuild();
    if (doomed.size() == 1 && m_lb->count() > 0 && !m_noItems) {
        m_lb->setCurrentRow(std::min(focused, m_lb->count() - 1), QItemSelectionModel::ClearAndSelect);
        m_order.clear();
        lbClick();
    }
    activateWindow();
    m_lb->setFocus();
}

void Tfrmlb::showCategoryMenu()
{
    QMenu menu(this);
    for (int i = 0; i < m_collection.categoryCount(); ++i) {
        // A category's name is shown as it is, an ampersand included.
        QAction *action = menu.addAction(QString(m_collection.category(i)->name).replace(QLatin1Char('&'), QLatin1String("&&")));
        action->setCheckable(true);
        action->setChecked(m_collection.category(i) == m_collection.currentCategory());
        connect(action, &QAction::triggered, this, [this, i] { emit categoryChosen(i); });
    }
    m_busy = true;
    menu.exec(m_pmsb->mapToGlobal(QPoint(0, m_pmsb->height())));
    m_busy = false;
    activateWindow();
    m_lb->setFocus();
}

void Tfrmlb::showGlobalMethodMenu()
{
    QMenu menu(this);
    const bool global = m_options.flag(QStringLiteral("global"));
    const int method = m_options.number(QStringLiteral("gpaste"));
    const QStringList captions{QStringLiteral("Simulate Ctrl-V"), QStringLiteral("Enter Keystrokes"),
                               QStringLiteral("Insert Text")};
    for (int i = 0; i < captions.size(); ++i) {
        QAction *action = menu.addAction(captions[i]);
        action->setCheckable(true);
        action->setChecked(global && method == i);
        connect(action, &QAction::triggered, this, [this, i] {
            m_options.set(QStringLiteral("global"), true);
            m_options.set(QStringLiteral("gpaste"), i);
        });
    }
    menu.addSeparator();
    QAction *disable = menu.addAction(QStringLiteral("Disable"));
    disable->setCheckable(true);
    disable->setChecked(!global);
    // "Disable" leaves "Enter keystrokes" chosen for the next time it is switched on.
    connect(disable, &QAction::triggered, this, [this] {
        m_options.set(QStringLiteral("global"), false);
        m_options.set(QStringLiteral("gpaste"), 1);
    });
    m_busy = true;
    menu.exec(m_gpmsb->mapToGlobal(QPoint(0, m_gpmsb->height())));
    m_busy = false;
    activateWindow();
}

bool Tfrmlb::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lb->viewport() && event->type() == QEvent::MouseMove)
        lbMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
    if (watched == m_strip && event->type() == QEvent::MouseMove)
        HideHintWindow();
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
    if (watched == m_lb && event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == m_lb && event->type() == QEvent::KeyRelease)
        lbClick();
    return QWidget::eventFilter(watched, event);
}

bool Tfrmlb::handleKey(QKeyEvent *key)
{
    // The window's own keys work with an empty list and in move mode too,
    // where the list itself takes no keys.
    switch (key->key()) {
    case Qt::Key_Escape: ExitbtnClick(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_noItems)
            SpitText();
        return true;
    case Qt::Key_Delete: deleteSelected(); return true;
    case Qt::Key_Alt: showCategoryMenu(); return true;
    default: return false;
    }
}

void Tfrmlb::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        QWidget::keyPressEvent(event);
}

void Tfrmlb::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        checkActivation();
}

void Tfrmlb::checkActivation()
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

void Tfrmlb::closeEvent(QCloseEvent *event)
{
    if (m_preview)
        m_preview->close();
    if (m_hint)
        m_hint->close();
    emit closed();
    QWidget::closeEvent(event);
}

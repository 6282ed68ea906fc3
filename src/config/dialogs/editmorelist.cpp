#include "config/dialogs/editmorelist.h"

#include "config/dialogs/editmoresession.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kInitialWidth = 190;
constexpr int kInitialHeight = 225;

} // namespace

EditMoreList::EditMoreList(const EditMoreSession &session, const QString &categoryName, QWidget *editor)
    // A window of the editor's own, so the editor's modality leaves it usable.
    : QWidget(editor, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmPTV"));
    setWindowTitle(categoryName);
    setAccessibleName(categoryName);

    // The title bar belongs to the window manager, so "Options" sits at the
    // top of the window instead; the list's context menu offers it too.
    m_options = new QMenu(this);
    m_options->setObjectName(QStringLiteral("optionspm"));
    m_options->addAction(QStringLiteral("&Select All"), this, &EditMoreList::selectAllRequested)
        ->setObjectName(QStringLiteral("SelectAll1"));
    m_options->addAction(QStringLiteral("&Invert Selection"), this, &EditMoreList::invertSelectionRequested)
        ->setObjectName(QStringLiteral("InvertSelection1"));
    m_options->addSeparator();
    m_options->addAction(QStringLiteral("&Help"), this, &EditMoreList::helpRequested)
        ->setObjectName(QStringLiteral("Help1"));

    m_optionsButton = new QToolButton;
    m_optionsButton->setObjectName(QStringLiteral("optionsbtn"));
    m_optionsButton->setText(QStringLiteral("Options"));
    m_optionsButton->setAccessibleName(QStringLiteral("Options"));
    QFont bold = m_optionsButton->font();
    bold.setBold(true);
    m_optionsButton->setFont(bold);
    m_optionsButton->setMenu(m_options);
    m_optionsButton->setPopupMode(QToolButton::InstantPopup);
    m_optionsButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("PList"));
    m_list->setAccessibleName(QStringLiteral("Items of the category"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int i = 0; i < session.count(); ++i) {
        auto *entry = new QListWidgetItem(session.record(i)->alias, m_list);
        // Pictures cannot be edited here: they look disabled and cannot be
        // ticked, but picking one shows the editor's notice saying so.
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (session.isEnabled(i))
            flags |= Qt::ItemIsUserCheckable;
        else
            entry->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        entry->setFlags(flags);
        entry->setCheckState(Qt::Unchecked);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_optionsButton);
    layout->addWidget(m_list);
    resize(kInitialWidth, kInitialHeight);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &EditMoreList::selectionChanged);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem *entry) {
        if (!m_syncing)
            emit entryChecked(m_list->row(entry), entry->checkState() == Qt::Checked);
    });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_options->popup(m_list->viewport()->mapToGlobal(at)); });
    showSession();
}

void EditMoreList::showSession()
{
    const QScopedValueRollback syncing(m_syncing, true);
    const QSignalBlocker blocker(m_list);
    for (int i = 0; i < m_session.count(); ++i) {
        QListWidgetItem *entry = m_list->item(i);
        entry->setCheckState(m_session.isChecked(i) ? Qt::Checked : Qt::Unchecked);
        entry->setSelected(m_session.isSelected(i));
    }
    if (const int current = m_session.current(); current >= 0 && current < m_list->count()) {
        m_list->setCurrentRow(current, QItemSelectionModel::NoUpdate);
        m_list->scrollToItem(m_list->item(current));
    }
    m_list->viewport()->update();
}

void EditMoreList::placeBeside(const QWidget &editor)
{
    const int rows = m_session.count();
    const int rowHeight = rows > 0 ? m_list->sizeHintForRow(0) : 0;
    const int listFrame = 2 * m_list->frameWidth();
    // Wide enough for the longest entry, so no row is cut and no horizontal
    // scroll bar takes the room of a row; never wider than half the screen.
    const QRect available = editor.screen() ? editor.screen()->availableGeometry() : QRect();
    int wantedWidth = std::max({kInitialWidth, m_optionsButton->sizeHint().width(),
                                (rows > 0 ? m_list->sizeHintForColumn(0) : 0) + listFrame});
    int wantedHeight = m_optionsButton->sizeHint().height() + rows * rowHeight + listFrame + 7;
    if (wantedHeight > editor.height())
        wantedWidth += m_list->verticalScrollBar()->sizeHint().width();
    if (available.isValid() && wantedWidth > available.width() / 2) {
        wantedWidth = available.width() / 2;
        wantedHeight += m_list->horizontalScrollBar()->sizeHint().height();
    }
    resize(wantedWidth, std::min(wantedHeight, editor.height()));

    const QRect editorFrame = editor.frameGeometry();
    const QRect ownFrame = frameGeometry();
    QPoint topLeft(editorFrame.left() - ownFrame.width(), editorFrame.top());
    // Without room on the left it goes to the right, rather than off screen.
    if (available.isValid() && topLeft.x() < available.left())
        topLeft.setX(editorFrame.right() + 1);
    move(topLeft);
}

void EditMoreList::closeEvent(QCloseEvent *event)
{
    // The list is the editor's to hide; it only goes away with the editor.
    event->ignore();
    emit hideRequested();
}

void EditMoreList::selectionChanged()
{
    if (m_syncing)
        return;
    QList<int> entries;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected())
            entries.append(i);
    }
    emit entriesPicked(entries, m_list->currentRow());
}

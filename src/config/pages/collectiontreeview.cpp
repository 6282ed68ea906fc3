#include "config/pages/collectiontreeview.h"

#include "common/errorhandler.h"
#include "config/tree/collectiontreemodel.h"
#include "config/tree/treeeditor.h"

#include <QCursor>
#include <QDrag>
#include <QDragMoveEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>

namespace {

const QString kNodeFormat = QStringLiteral("application/x-scrapkeeper-tree-node");

} // namespace

CollectionTreeView::CollectionTreeView(CollectionTreeModel &model, TreeEditor &editor, QWidget *parent)
    : QTreeView(parent), m_model(model), m_editor(editor)
{
    setObjectName(QStringLiteral("TV"));
    setModel(&model);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setIndentation(19);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    // Scrolling during a drag follows the tree's own edge rule.
    setAutoScroll(false);
    setMouseTracking(true);  // hot tracking
    setAccessibleName(QStringLiteral("Categories and items"));
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) { m_model.setExpanded(index, true); });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) { m_model.setExpanded(index, false); });
}

TreeNode CollectionTreeView::selectedNode() const
{
    return m_model.nodeAt(currentIndex());
}

void CollectionTreeView::selectNode(TreeNode node)
{
    const QModelIndex index = m_model.indexOf(node);
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    scrollTo(index);
}

void CollectionTreeView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    const TreeNode node = m_model.nodeAt(current);
    ErrorHandler::guard(this, [this, node] { emit selectedNodeChanged(node); });
}

// ---- dragging -----------------------------------------------------------------------

void CollectionTreeView::startDrag(Qt::DropActions)
{
    // The node dragged is the selected one; the drop looks it up again.
    if (!currentIndex().isValid())
        return;
    m_dragged = currentIndex();
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setData(kNodeFormat, QByteArray());
    drag->setMimeData(data);
    m_dragTarget = QPersistentModelIndex();
    const Qt::DropAction done = drag->exec(Qt::MoveAction);
    stopScrolling();
    if (done == Qt::IgnoreAction && m_dragTarget.isValid()) {
        // Released over a node that refused it: the editor says why, when there is a reason to give.
        const TreeNode source = draggedNode();
        const TreeNode target = m_model.nodeAt(m_dragTarget);
        ErrorHandler::guard(this, [this, source, target] { m_editor.drop(source, target); });
    }
    m_dragged = QPersistentModelIndex();
    m_dragTarget = QPersistentModelIndex();
}

TreeNode CollectionTreeView::draggedNode() const
{
    return m_dragged.isValid() ? m_model.nodeAt(m_dragged) : TreeNode();
}

bool CollectionTreeView::acceptsDrop(const QDropEvent *event, const QPoint &position) const
{
    if (event->source() != this || !event->mimeData()->hasFormat(kNodeFormat))
        return false;
    return m_editor.canDrop(draggedNode(), m_model.nodeAt(indexAt(position)));
}

void CollectionTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this && event->mimeData()->hasFormat(kNodeFormat))
        event->accept();
    else
        event->ignore();
}

void CollectionTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    followMouseForScrolling();
    const QPoint position = event->position().toPoint();
    if (acceptsDrop(event, position)) {
        m_dragTarget = QPersistentModelIndex();
        event->setDropAction(Qt::MoveAction);
        event->accept(visualRect(indexAt(position)));
    } else {
        m_dragTarget = indexAt(position);
        event->ignore(visualRect(indexAt(position)));
    }
}

void CollectionTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    m_dragTarget = QPersistentModelIndex();
    // The last look as the drag leaves: above or below, the tree scrolls on.
    followMouseForScrolling();
    event->accept();
}

void CollectionTreeView::dropEvent(QDropEvent *event)
{
    stopScrolling();
    const QPoint position = event->position().toPoint();
    if (!acceptsDrop(event, position)) {
        event->ignore();
        return;
    }
    const TreeNode source = draggedNode();
    const TreeNode target = m_model.nodeAt(indexAt(position));
    event->setDropAction(Qt::MoveAction);
    event->accept();
    ErrorHandler::guard(this, [this, source, target] { m_editor.drop(source, target); });
}

void CollectionTreeView::followMouseForScrolling()
{
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    const QRect area = viewport()->rect();
    if (mouse.y() < area.top() || mouse.y() >= area.bottom()) {
        m_scrollDown = mouse.y() >= area.bottom();
        if (!m_scrollTimer) {
            m_scrollTimer = new QTimer(this);
            m_scrollTimer->setObjectName(QStringLiteral("STimer"));
            m_scrollTimer->setInterval(75);
            connect(m_scrollTimer, &QTimer::timeout, this, &CollectionTreeView::scrollTick);
            m_scrollTimer->start();
        }
    } else {
        stopScrolling();
    }
}

void CollectionTreeView::scrollTick()
{
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    const QRect area = viewport()->rect();
    const int distance = m_scrollDown ? mouse.y() - area.bottom() : area.top() - mouse.y();
    m_scrollTimer->setInterval(dragScrollInterval(std::max(0, distance)));
    verticalScrollBar()->triggerAction(m_scrollDown ? QAbstractSlider::SliderSingleStepAdd
                                                    : QAbstractSlider::SliderSingleStepSub);
}

void CollectionTreeView::stopScrolling()
{
    delete m_scrollTimer;
}

// ---- keys and clicks -------------------------------------------------------------------

void CollectionTreeView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested(selectedNode());
        return;
    }
    if (event->matches(QKeySequence::Undo)) {
        emit undoDeleteRequested();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CollectionTreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit editRequested(m_model.nodeAt(index));
}

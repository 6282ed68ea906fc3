#include "popup/popuplistmodel.h"

#include <QPainter>
#include <QPixmap>

namespace {

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

PopupListModel::PopupListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void PopupListModel::showEntries(const QList<CurrentItem> &entries)
{
    beginResetModel();
    m_entries = entries;
    m_lines.clear();
    m_found = false;
    m_unfetched.clear();
    endResetModel();
}

void PopupListModel::showLines(const QStringList &lines)
{
    beginResetModel();
    m_entries.clear();
    m_lines = lines;
    m_found = false;
    m_unfetched.clear();
    endResetModel();
}

void PopupListModel::showFound(const QList<Item *> &items)
{
    beginResetModel();
    m_entries.clear();
    m_lines.clear();
    m_found = true;
    m_unfetched.clear();
    endResetModel();
    appendFound(items);
}

void PopupListModel::appendFound(const QList<Item *> &items)
{
    if (items.isEmpty() || !m_found)
        return;
    m_unfetched.append(items);
    // The first screenfuls go to the view at once; the rest when it scrolls to them.
    fetch(FoundRowsPerFetch - m_entries.size());
}

bool PopupListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_unfetched.isEmpty();
}

void PopupListModel::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid())
        fetch(FoundRowsPerFetch);
}

void PopupListModel::fetch(qsizetype most)
{
    const qsizetype count = std::min(most, m_unfetched.size());
    if (count <= 0)
        return;
    const int first = int(m_entries.size());
    beginInsertRows({}, first, first + int(count) - 1);
    m_entries.reserve(m_entries.size() + count);
    for (qsizetype i = 0; i < count; ++i)
        m_entries.append({m_unfetched[i]->alias, m_unfetched[i]});
    m_unfetched.remove(0, count);
    endInsertRows();
}

void PopupListModel::dropForgotten()
{
    for (int row = int(m_entries.size()) - 1; row >= 0; --row) {
        if (m_entries[row].item)
            continue;
        int first = row;
        while (first > 0 && !m_entries[first - 1].item)
            --first;
        beginRemoveRows({}, first, row);
        m_entries.remove(first, row - first + 1);
        endRemoveRows();
        row = first;
    }
}

void PopupListModel::refreshRow(int row)
{
    if (row < 0 || row >= m_entries.size() || !m_entries[row].item)
        return;
    m_entries[row].alias = m_entries[row].item->alias;
    emit dataChanged(index(row), index(row));
}

Item *PopupListModel::record(int row) const
{
    return row >= 0 && row < m_entries.size() ? m_entries[row].item : nullptr;
}

int PopupListModel::rowOf(const Item *record) const
{
    if (!record)
        return -1;
    for (int row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].item == record)
            return row;
    }
    return -1;
}

QList<int> PopupListModel::forget(const std::function<bool(const Item *)> &freed)
{
    QList<int> rows;
    for (int row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].item && freed(m_entries[row].item))
            rows << row;
    }
    // Written only now: the list stays shared with the collection's while nothing changes.
    for (const int row : std::as_const(rows))
        m_entries[row].item = nullptr;
    m_unfetched.removeIf([&freed](const Item *item) { return freed(item); });
    return rows;
}

int PopupListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.isEmpty() ? m_lines.size() : m_entries.size());
}

QVariant PopupListModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row >= rowCount())
        return {};
    if (!m_lines.isEmpty())
        return role == Qt::DisplayRole ? QVariant(m_lines[row]) : QVariant();
    const CurrentItem &entry = m_entries[row];
    switch (role) {
    case Qt::DisplayRole: return entry.alias.left(MaxShownCharacters);
    case Qt::DecorationRole: return entry.item ? kindIcon(entry.item->kind) : QVariant();
    case CategoryRole: return m_found && entry.item ? QVariant(entry.item->category) : QVariant();
    default: return {};
    }
}

Qt::ItemFlags PopupListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

QIcon PopupListModel::kindIcon(ItemKind kind) const
{
    const KindIcon which = kind == ItemKind::Image ? ImageIcon : kind == ItemKind::PlainText ? TextIcon : RichIcon;
    // Drawn when a row first needs it; a plain-text category never draws the others.
    if (m_kindIcons[which].isNull())
        m_kindIcons[which] = drawKindIcon(which);
    return m_kindIcons[which];
}

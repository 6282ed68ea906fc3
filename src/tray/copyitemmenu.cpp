#include "tray/copyitemmenu.h"

#include "capture/itemclipboard.h"
#include "common/menutext.h"
#include "settings/options.h"
#include "store/collection.h"

CopyItemMenu::CopyItemMenu(const Collection &collection, const Options &options, ItemClipboard &clipboard,
                           QWidget *parent)
    : QMenu(QStringLiteral("Copy Item"), parent)
    , m_collection(collection)
    , m_options(options)
    , m_clipboard(clipboard)
{
    connect(&collection, &Collection::currItemsChanged, this, &CopyItemMenu::markStale);
    connect(this, &QMenu::aboutToShow, this, &CopyItemMenu::rebuildIfStale);
}

void CopyItemMenu::rebuildIfStale()
{
    if (m_stale)
        rebuild();
}

void CopyItemMenu::rebuild()
{
    clear();
    const QList<CurrentItem> &items = m_collection.currentItems();
    const int count = std::min<int>(int(items.size()), m_options.number(Option::CopyMenuSize));
    for (int i = 0; i < count; ++i) {
        const QString alias = items[i].alias;
        // An alias of a single dash is a separator line, as in any menu.
        QAction *entry = alias == QLatin1String("-") ? addSeparator() : addAction(MenuText::literal(alias));
        entry->setObjectName(QStringLiteral("MenuItem%1").arg(i));
        connect(entry, &QAction::triggered, this, [this, alias] { copy(alias); });
    }
    m_stale = false;
}

const Item *CopyItemMenu::itemFor(const QString &alias) const
{
    for (const CurrentItem &entry : m_collection.currentItems()) {
        if (entry.alias == alias)
            return entry.item;
    }
    return nullptr;
}

void CopyItemMenu::copy(const QString &alias)
{
    if (const Item *item = itemFor(alias))
        m_clipboard.put(*item);
}

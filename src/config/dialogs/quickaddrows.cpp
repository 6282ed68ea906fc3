#include "config/dialogs/quickaddrows.h"

#include "capture/aliasderivation.h"

#include <algorithm>

QList<Item> quickAddItems(const QList<QuickAddRow> &rows, const QString &created)
{
    QList<Item> items;
    for (const QuickAddRow &row : rows) {
        if (!row.add)
            continue;
        Item item;
        item.action = static_cast<AfterPasteAction>(std::clamp(row.action, 0, int(AfterPasteAction::TypeExtraText)));
        item.pasteMethod = PasteMethod::SimulateCtrlV;
        item.kind = ItemKind::PlainText;
        // The data file holds the count as one digit.
        item.actionCount = static_cast<std::int8_t>(std::clamp(row.count, 1, 9));
        item.alias = AliasDerivation::forQuickAdd(row.text);
        item.text = row.text;
        item.extraText = row.extraText;
        item.created = created;
        items.append(item);
    }
    return items;
}

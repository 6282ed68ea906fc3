#include "config/tree/nodedetails.h"

#include "store/collection.h"

#include <QStringList>

namespace {

// Lines of the design's fixed-size buffers: at most 255 characters each.
QString bounded(const QString &line)
{
    return line.left(255);
}

QString actionName(const CategorySettings &rec)
{
    switch (rec.action) {
    case AfterPasteAction::None: return QStringLiteral("None");
    case AfterPasteAction::PressTab: return QStringLiteral("Press Tab key");
    case AfterPasteAction::PressEnter: return QStringLiteral("Press Enter key");
    case AfterPasteAction::PressSpace: return QStringLiteral("Press Spacebar");
    case AfterPasteAction::JumpToNextControl: return QStringLiteral("Jump cursor to next");
    case AfterPasteAction::TypeExtraText: return QStringLiteral("Output: ") + rec.extraText;
    }
    return {};
}

QString methodName(PasteMethod method)
{
    switch (method) {
    case PasteMethod::SimulateCtrlV: return QStringLiteral("Simulate Ctrl-V");
    case PasteMethod::EnterKeystrokes: return QStringLiteral("Enter keystrokes");
    case PasteMethod::InsertAtCursor: return QStringLiteral("Insert at cursor");
    case PasteMethod::NoCategoryMethod: return QStringLiteral("Disabled");
    }
    return {};
}

} // namespace

QString NodeDetails::createdLine(const Item &item)
{
    return QStringLiteral("Created:  ") + item.created;
}

QString NodeDetails::categorySummary(const CategoryNode &category)
{
    const CategorySettings &rec = category.rec;
    const QChar tab = QLatin1Char('\t');
    QStringList lines;
    lines << QString();
    lines << QStringLiteral("Number of items:") + tab + tab + QString::number(category.itemCount());
    lines << QStringLiteral("Category limit:") + tab + tab
                 + (rec.limit <= 0 ? QStringLiteral("NO LIMIT") : QString::number(rec.limit));
    lines << QStringLiteral("Lock if limit reached:") + tab + (rec.lockAtLimit ? QStringLiteral("YES") : QStringLiteral("NO"));
    lines << QString();
    lines << bounded(QStringLiteral("Category action after paste:") + tab + actionName(rec));
    if (rec.action != AfterPasteAction::None)
        lines << bounded(QStringLiteral("Number of times:") + tab + tab + QString::number(rec.actionCount));
    lines << QString();
    lines << bounded(QStringLiteral("Category pasting method:") + tab + methodName(rec.pasteMethod));
    return lines.join(QLatin1Char('\n'));
}

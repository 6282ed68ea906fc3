#include "store/refusal.h"

#include "store/collection.h"

Refusal Refusal::lockedAndFull(const CategoryNode &category)
{
    return {Reason::LockedAndFull, QStringLiteral("Category \"%1\" is locked and full (its limit is %2).")
                                       .arg(category.name)
                                       .arg(category.rec.limit)};
}

Refusal Refusal::noCategory(const QString &name)
{
    return {Reason::NoCategory, name.isEmpty() ? QStringLiteral("There is no category to keep it in.")
                                               : QStringLiteral("Category \"%1\" no longer exists.").arg(name)};
}

Refusal Refusal::tooLarge(const QString &why)
{
    return {Reason::TooLarge, why};
}

Refusal Refusal::unreadable(const QString &why)
{
    return {Reason::Unreadable, why};
}

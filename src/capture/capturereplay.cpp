#include "capture/capturereplay.h"

#include "store/collection.h"
#include "store/itempictures.h"

CaptureReplay::CaptureReplay(Collection &collection)
    : m_collection(collection)
{
}

CaptureReplay::~CaptureReplay()
{
    forget();
}

void CaptureReplay::record(const Item &item)
{
    // Reloading the file sweeps the side files it does not name: a recorded
    // picture's must stay until its copy is back or given up.
    if (item.kind == ItemKind::Image)
        ItemPictures::shared().hold(item.text);
    m_copies.append(item);
}

void CaptureReplay::release(const Item &item)
{
    if (item.kind == ItemKind::Image)
        ItemPictures::shared().release(item.text);
}

void CaptureReplay::forget()
{
    for (const Item &item : std::as_const(m_copies))
        release(item);
    m_copies.clear();
}

CaptureReplay::Outcome CaptureReplay::replay(bool preventDuplicates)
{
    Outcome outcome;
    for (auto it = m_copies.begin(); it != m_copies.end();) {
        CategoryNode *target = m_collection.findCategory(it->category);
        if (!target)
            target = m_collection.currentCategory() ? m_collection.currentCategory() : m_collection.category(0);
        if (!target) {
            ++it;
            continue;
        }
        if (preventDuplicates && it->kind != ItemKind::Image && Collection::newestRepeats(target, it->text)) {
            ++it;
            continue;
        }
        if (target->rec.isLockedAndFull(target->itemCount())) {
            Item refused = *it;
            refused.category = target->name;
            outcome.refused.append(refused);
            release(*it);
            it = m_copies.erase(it);
            continue;
        }
        m_collection.insertFirstChild(target, *it);
        m_collection.enforceLimit(target, false);
        ++outcome.putBack;
        ++it;
    }
    return outcome;
}

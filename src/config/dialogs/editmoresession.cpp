#include "config/dialogs/editmoresession.h"

#include <algorithm>

#include "capture/aliasderivation.h"
#include "config/dialogs/itemeditorrules.h"
#include "richtext/rtfreader.h"
#include "store/textlimits.h"

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

bool isBlankText(QStringView text)
{
    for (QChar c : text) {
        if (!isBlank(c))
            return false;
    }
    return true;
}

// The first line that is not blank, as it stands.
QString firstNonBlankLine(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = text.mid(start, end - start);
        if (!isBlankText(line))
            return line.toString();
        start = end + 1;
    }
    return QString();
}

// The alias as a change records it: a blank alias box takes the text's first
// non-blank line as it stands; OK later completes it by the editor's rule.
QString aliasWhileEditing(const EditMoreSession::EditorState &state)
{
    QString alias;
    if (isBlankText(state.plainText))
        alias = state.alias;
    else if (!isBlankText(state.alias))
        alias = state.alias;
    else
        alias = firstNonBlankLine(state.plainText);
    return cutToCharacters(alias, AliasDerivation::MaxLength);
}

// What the editor can change: all a pending copy carries, and all it gives back.
void copyEditableFields(const Item &from, Item &to)
{
    to.alias = from.alias;
    to.kind = from.kind;
    to.text = from.text;
    to.action = from.action;
    to.actionCount = from.actionCount;
    to.pasteMethod = from.pasteMethod;
    to.extraText = from.extraText;
}

Item pendingCopyOf(const Item &record)
{
    Item copy;
    copyEditableFields(record, copy);
    return copy;
}

} // namespace

EditMoreSession::EditMoreSession(const QList<Item *> &items, const Item *startingItem)
{
    m_entries.reserve(items.size());
    for (Item *item : items) {
        Entry entry;
        entry.record = item;
        entry.enabled = item->kind != ItemKind::Image;
        if (item == startingItem) {
            entry.selected = true;
            m_starting = m_current = int(m_entries.size());
        }
        m_entries.append(std::move(entry));
    }
}

Item *EditMoreSession::record(int entry) const
{
    return m_entries.at(entry).record;
}

bool EditMoreSession::isEnabled(int entry) const
{
    return m_entries.at(entry).enabled;
}

bool EditMoreSession::isChecked(int entry) const
{
    return m_entries.at(entry).checked;
}

bool EditMoreSession::isSelected(int entry) const
{
    return m_entries.at(entry).selected;
}

const Item *EditMoreSession::pendingCopy(int entry) const
{
    const Entry &e = m_entries.at(entry);
    return e.copy ? &*e.copy : nullptr;
}

QList<int> EditMoreSession::selectedEntries() const
{
    QList<int> entries;
    for (int i = 0; i < count(); ++i) {
        if (m_entries[i].selected)
            entries.append(i);
    }
    return entries;
}

int EditMoreSession::selectedCount() const
{
    int selected = 0;
    for (const Entry &entry : m_entries)
        selected += entry.selected ? 1 : 0;
    return selected;
}

std::optional<Item> EditMoreSession::select(const QList<int> &entries, int current)
{
    for (Entry &entry : m_entries)
        entry.selected = false;
    for (int i : entries) {
        if (i >= 0 && i < count())
            m_entries[i].selected = true;
    }
    if (current >= 0 && current < count())
        m_current = current;
    m_markers = {};
    if (severalSelected() || m_current < 0)
        return std::nullopt;
    return recordFor(m_current);
}

void EditMoreSession::setChecked(int entry, bool checked)
{
    Entry &e = m_entries[entry];
    if (e.enabled)
        e.checked = checked;
}

EditMoreSession::Fields EditMoreSession::recordChange(Field field, const EditorState &state)
{
    const int selected = selectedCount();
    if (selected == 1) {
        // The editor stays disabled on an image entry, so no change can be
        // meant for it.
        if (m_current >= 0 && m_entries[m_current].enabled) {
            updatePendingCopy(m_current, field, state, selected);
            // While the list is hidden the edit is kept but counts for
            // nothing on OK.
            if (state.listShowing)
                m_entries[m_current].checked = true;
        }
        return m_markers;
    }
    for (int i = 0; i < count(); ++i) {
        Entry &entry = m_entries[i];
        if (!entry.selected || !entry.enabled)
            continue;
        updatePendingCopy(i, field, state, selected);
        entry.checked = true;
    }
    return m_markers;
}

void EditMoreSession::updatePendingCopy(int entry, Field field, const EditorState &state, int selected)
{
    const bool several = selected > 1;
    if (field == Field::Text && several)
        m_markers |= Field::Text;

    Entry &e = m_entries[entry];
    if (!e.copy) {
        e.copy = pendingCopyOf(*e.record);
        // Once a text went to several entries, every new copy takes the
        // editor's mode with it.
        if (m_markers.testFlag(Field::Text))
            e.copy->kind = state.richMode ? ItemKind::RichText : ItemKind::PlainText;
    }
    Item &copy = *e.copy;

    switch (field) {
    case Field::Alias:
        copy.alias = aliasWhileEditing(state);
        break;
    case Field::Action:
        copy.action = state.action;
        break;
    case Field::ExtraText:
        copy.extraText = state.extraText;
        break;
    case Field::PasteMethod:
        copy.pasteMethod = state.pasteMethod;
        break;
    case Field::Text:
        if (selected == 1)
            copy.kind = state.richMode ? ItemKind::RichText : ItemKind::PlainText;
        copy.text = copy.kind != ItemKind::PlainText ? state.richSource : state.plainText;
        break;
    case Field::Count:
        copy.actionCount = std::int8_t(state.count);
        break;
    }
    if (several)
        m_markers |= field;
}

Item EditMoreSession::recordFor(int entry) const
{
    const Entry &e = m_entries.at(entry);
    if (e.checked && e.copy)
        return *e.copy;
    return *e.record;
}

void EditMoreSession::checkPendingCopies()
{
    for (Entry &entry : m_entries)
        entry.checked = entry.checked || entry.copy.has_value();
}

void EditMoreSession::selectAll()
{
    m_markers = {};
    for (Entry &entry : m_entries) {
        if (entry.enabled)
            entry.selected = true;
    }
    if (m_current >= 0)
        m_entries[m_current].selected = true;
}

Item EditMoreSession::invertSelection()
{
    m_markers = {};
    for (Entry &entry : m_entries) {
        if (entry.enabled)
            entry.selected = !entry.selected;
    }
    if (selectedCount() == 0) {
        const int first = firstEnabled();
        if (first >= 0) {
            m_entries[first].selected = true;
            // Changes go to the current entry while one is selected, so it
            // has to be the selected one.
            m_current = first;
        }
    }
    return m_current >= 0 ? recordFor(m_current) : Item();
}

Item EditMoreSession::discard()
{
    m_markers = {};
    for (Entry &entry : m_entries) {
        entry.copy.reset();
        // Checks only mark entries holding a copy.
        entry.checked = false;
        entry.selected = false;
    }
    m_current = m_starting;
    if (m_starting < 0)
        return Item();
    m_entries[m_starting].selected = true;
    return *m_entries[m_starting].record;
}

void EditMoreSession::complete()
{
    for (Entry &entry : m_entries) {
        if (!entry.checked || !entry.copy)
            continue;
        Item &copy = *entry.copy;
        // A rich copy already holds RTF source; its alias is made from the
        // text it shows.
        const QString plain = copy.kind == ItemKind::PlainText ? copy.text : RtfReader::toPlainText(copy.text);
        ItemEditorRules::completeRecord(copy, copy.alias, plain);
        // The count goes back as the editor's count box holds it: a captured
        // item's 0 would make a newly set action happen no times at all.
        copy.actionCount = std::int8_t(std::clamp(int(copy.actionCount), 1, 9));
    }
}

QList<int> EditMoreSession::apply(bool updateCreated, const QString &now)
{
    QList<int> written;
    for (int i = 0; i < count(); ++i) {
        Entry &entry = m_entries[i];
        if (!entry.checked || !entry.copy)
            continue;
        Item &record = *entry.record;
        copyEditableFields(*entry.copy, record);
        if (updateCreated)
            record.created = now;
        written.append(i);
    }
    return written;
}

int EditMoreSession::firstEnabled() const
{
    for (int i = 0; i < count(); ++i) {
        if (m_entries[i].enabled)
            return i;
    }
    return -1;
}

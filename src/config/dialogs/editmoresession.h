#pragma once

#include "store/item.h"
#include "store/pastechoices.h"

#include <QFlags>
#include <QList>
#include <QString>

#include <optional>

// What the Edit More list keeps while the item editor is widened to several
// items of one category: which entries are selected and checked, and a
// pending copy for every entry the user changed. Nothing reaches the real
// records before apply(), so Cancel only has to drop the session.
class EditMoreSession
{
public:
    // The editor's controls that hand on a change; each also names the
    // marker shown beside that control while several entries are selected.
    enum class Field {
        Alias = 0x01,
        Action = 0x02,
        ExtraText = 0x04,
        PasteMethod = 0x08,
        Text = 0x10,
        Count = 0x20,
    };
    Q_DECLARE_FLAGS(Fields, Field)

    // What the editor shows at the moment of a change.
    struct EditorState
    {
        QString alias;
        AfterPasteAction action = AfterPasteAction::None;
        QString extraText;
        PasteMethod pasteMethod = PasteMethod::SimulateCtrlV;
        int count = 0;
        QString plainText;   // the text box without formatting
        QString richSource;  // the text box as RTF source
        bool richMode = false;
        bool listShowing = false;
    };

    // `items` are the category's real records in tree order; `startingItem`
    // is the one the editor was opened on (no entry is selected when it is
    // not among them).
    EditMoreSession(const QList<Item *> &items, const Item *startingItem);

    int count() const { return int(m_entries.size()); }
    Item *record(int entry) const;
    bool isEnabled(int entry) const;
    bool isChecked(int entry) const;
    bool isSelected(int entry) const;
    // The entry's pending copy, or null when it has none.
    const Item *pendingCopy(int entry) const;

    int startingEntry() const { return m_starting; }
    int current() const { return m_current; }
    QList<int> selectedEntries() const;
    int selectedCount() const;
    // The multi-editing notice button shows only with several entries selected.
    bool severalSelected() const { return selectedCount() > 1; }
    // The change markers showing now; picking, Select All, Invert Selection
    // and discard() hide them all.
    Fields markers() const { return m_markers; }

    // The user picked entries. Returns what the editor loads, or nothing
    // when several entries are selected (the editor keeps what it shows).
    std::optional<Item> select(const QList<int> &entries, int current);
    // The user ticks or unticks an entry; image entries keep their state.
    void setChecked(int entry, bool checked);

    // One change of an editor control: with one entry selected it goes to
    // the current entry, otherwise to every selected entry that can be
    // edited. Returns the markers showing afterwards.
    Fields recordChange(Field field, const EditorState &state);

    // What the editor loads for an entry: its pending copy when the entry is
    // checked and has one, else its record.
    Item recordFor(int entry) const;

    // The list comes into sight: every entry holding a pending copy (edits
    // made while it was hidden) is checked.
    void checkPendingCopies();

    void selectAll();
    // Returns what the editor loads for the current entry afterwards.
    Item invertSelection();
    // Hiding the list: every edit made through it is forgotten and the
    // starting entry is selected again. Returns what the editor reloads.
    Item discard();

    // OK: each checked entry's pending copy is completed as the editor
    // completes a single record.
    void complete();
    // Writes each checked entry's pending copy into its real record, with a
    // new creation date when `updateCreated`. Returns the entries written.
    QList<int> apply(bool updateCreated, const QString &now);

private:
    struct Entry
    {
        Item *record = nullptr;
        bool enabled = true;
        bool checked = false;
        bool selected = false;
        std::optional<Item> copy;
    };

    void updatePendingCopy(int entry, Field field, const EditorState &state, int selected);
    int firstEnabled() const;

    QList<Entry> m_entries;
    int m_starting = -1;
    int m_current = -1;
    Fields m_markers;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(EditMoreSession::Fields)

#pragma once

#include <QDialog>

struct Item;
class QCheckBox;
class QLineEdit;
class RichEdit;

// The dialog in which a text item is written or changed: its text (plain,
// or rich when the item is) and its alias.
class ItemEditor : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Add, Edit };
    explicit ItemEditor(Mode mode, QWidget *parent = nullptr);

    void setFields(const Item &item);
    // Writes the editor's fields into the record: alias (completed by the
    // editor's alias rule), text and kind.
    void writeFields(Item &item) const;
    bool everyCategory() const;

private:
    RichEdit *m_text = nullptr;
    QLineEdit *m_alias = nullptr;
    QCheckBox *m_everyCategory = nullptr;
};

#include "config/dialogs/itemeditor.h"

#include "capture/aliasderivation.h"
#include "richtext/richedit.h"
#include "richtext/richtextplain.h"
#include "store/item.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ItemEditor::ItemEditor(Mode mode, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmItemText"));
    setWindowTitle(QStringLiteral("List box item"));
    auto *layout = new QVBoxLayout(this);
    auto *textLabel = new QLabel(QStringLiteral("Text (to be pasted)"), this);
    m_text = new RichEdit(this);
    m_text->setObjectName(QStringLiteral("ItemText"));
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    m_text->setAccessibleName(textLabel->text());
    textLabel->setBuddy(m_text);
    auto *aliasLabel = new QLabel(QStringLiteral("Alias (represents the above Text in list)"), this);
    m_alias = new QLineEdit(this);
    m_alias->setObjectName(QStringLiteral("alias"));
    m_alias->setMaxLength(AliasDerivation::MaxLength);
    m_alias->setAccessibleName(aliasLabel->text());
    aliasLabel->setBuddy(m_alias);
    m_everyCategory = new QCheckBox(QStringLiteral("Add to every category"), this);
    m_everyCategory->setObjectName(QStringLiteral("everycb"));
    m_everyCategory->setVisible(mode == Mode::Add);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel"));
    layout->addWidget(textLabel);
    layout->addWidget(m_text, 1);
    layout->addWidget(aliasLabel);
    layout->addWidget(m_alias);
    layout->addWidget(m_everyCategory);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(460, 360);
}

void ItemEditor::setFields(const Item &item)
{
    if (item.kind == ItemKind::RichText) {
        loadRichText(m_text, item.text);
    } else {
        resetRichEdit(m_text);
        m_text->setPlainText(item.text);
    }
    m_alias->setText(item.alias);
}

void ItemEditor::writeFields(Item &item) const
{
    const bool rich = !m_text->plainTextMode();
    const QString plain = rich ? RichTextPlain::plainText(*m_text->document()) : m_text->toPlainText();
    item.kind = rich ? ItemKind::RichText : ItemKind::PlainText;
    item.text = rich ? richSource(m_text) : plain;
    item.alias = AliasDerivation::forEditor(item.text, m_alias->text(), plain);
}

bool ItemEditor::everyCategory() const
{
    return m_everyCategory->isChecked();
}

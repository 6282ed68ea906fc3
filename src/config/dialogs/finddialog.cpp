#include "config/dialogs/finddialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

FindDialog::FindDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dfind"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    auto *layout = new QGridLayout(this);
    auto *label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("findText"));
    label->setBuddy(m_text);
    m_text->setAccessibleName(QStringLiteral("Find what:"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));

    auto *direction = new QGroupBox(QStringLiteral("Direction"), this);
    auto *directionLayout = new QHBoxLayout(direction);
    m_up = new QRadioButton(QStringLiteral("&Up"), direction);
    m_up->setObjectName(QStringLiteral("up"));
    m_down = new QRadioButton(QStringLiteral("&Down"), direction);
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setChecked(true);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);

    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("findNext"));
    m_findNext->setDefault(true);
    m_findNext->setEnabled(false);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));

    layout->addWidget(label, 0, 0);
    layout->addWidget(m_text, 0, 1);
    layout->addWidget(m_findNext, 0, 2);
    layout->addWidget(m_matchCase, 1, 0, 1, 2);
    layout->addWidget(cancel, 1, 2);
    layout->addWidget(direction, 2, 0, 1, 2);

    connect(m_text, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_findNext->setEnabled(!text.isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString FindDialog::text() const
{
    return m_text->text();
}

bool FindDialog::matchCase() const
{
    return m_matchCase->isChecked();
}

bool FindDialog::searchDown() const
{
    return m_down->isChecked();
}

void FindDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_continuing = false;
    m_text->setFocus();
    m_text->selectAll();
}

#include "config/radiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

RadioGroup::RadioGroup(const QString &title, const QStringList &choices, QWidget *parent)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this)), m_layout(new QGridLayout(this))
{
    for (int i = 0; i < choices.size(); ++i) {
        auto *button = new QRadioButton(choices.at(i), this);
        m_group->addButton(button, i);
        m_layout->addWidget(button, i, 0);
        m_buttons.append(button);
    }
    m_layout->setColumnStretch(2, 1);
    setIndex(0);
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit indexChanged(id);
    });
}

int RadioGroup::index() const
{
    return std::max(m_group->checkedId(), 0);
}

void RadioGroup::setIndex(int index)
{
    if (m_buttons.isEmpty())
        return;
    m_buttons.at(std::clamp(index, 0, int(m_buttons.size()) - 1))->setChecked(true);
}

void RadioGroup::setBeside(int index, QWidget *widget)
{
    m_layout->addWidget(widget, index, 1);
}

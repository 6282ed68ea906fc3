#include "config/optionbinder.h"

#include "settings/enablingrules.h"
#include "settings/options.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QLineEdit>
#include <QSpinBox>

OptionBinder::OptionBinder(QObject *parent)
    : QObject(parent)
{
}

void OptionBinder::add(Binding binding)
{
    m_bindings.append(std::move(binding));
    updateEnabled();
}

void OptionBinder::bind(QAbstractButton *button, Option option)
{
    connect(button, &QAbstractButton::toggled, this, &OptionBinder::updateEnabled);
    add({option, button, [button, option](const Options &o) { button->setChecked(o.flag(option)); },
         [button, option](Options &o) { o.set(option, button->isChecked()); }, [button] { return button->isChecked(); }});
}

void OptionBinder::bind(QSpinBox *spinBox, Option option)
{
    add({option, spinBox, [spinBox, option](const Options &o) { spinBox->setValue(o.number(option)); },
         [spinBox, option](Options &o) { o.set(option, spinBox->value()); }, {}});
}

void OptionBinder::bind(QComboBox *comboBox, Option option)
{
    // An index the list does not hold shows its first entry; an empty list
    // leaves the option as it is.
    const auto load = [comboBox, option](const Options &o) {
        const int index = o.number(option);
        comboBox->setCurrentIndex(index >= 0 && index < comboBox->count() ? index : 0);
    };
    const auto apply = [comboBox, option](Options &o) {
        if (comboBox->currentIndex() >= 0)
            o.set(option, comboBox->currentIndex());
    };
    add({option, comboBox, load, apply, {}});
}

void OptionBinder::bind(QGroupBox *group, Option option)
{
    auto *buttons = new QButtonGroup(group);
    const QList<QRadioButton *> radios = group->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < radios.size(); ++i)
        buttons->addButton(radios[i], i);
    const auto load = [buttons, option](const Options &o) {
        QAbstractButton *button = buttons->button(o.number(option));
        if (!button)
            button = buttons->button(0);
        if (button)
            button->setChecked(true);
    };
    const auto apply = [buttons, option](Options &o) {
        if (buttons->checkedId() >= 0)
            o.set(option, buttons->checkedId());
    };
    add({option, group, load, apply, {}});
}

void OptionBinder::enableAs(QWidget *widget, Option option)
{
    add({option, widget, {}, {}, {}});
}

void OptionBinder::bind(QLineEdit *edit, Option option)
{
    add({option, edit, [edit, option](const Options &o) { edit->setText(o.text(option)); },
         [edit, option](Options &o) { o.set(option, edit->text()); }, {}});
}

void OptionBinder::load(const Options &options)
{
    m_loadedFrom = &options;
    for (const Binding &binding : std::as_const(m_bindings)) {
        if (binding.load)
            binding.load(options);
    }
    updateEnabled();
}

void OptionBinder::load(const Options &options, Option changed)
{
    m_loadedFrom = &options;
    for (const Binding &binding : std::as_const(m_bindings)) {
        if (binding.option == changed && binding.load)
            binding.load(options);
    }
    updateEnabled();
}

void OptionBinder::apply(Options &options) const
{
    for (const Binding &binding : m_bindings) {
        if (binding.apply)
            binding.apply(options);
    }
}

bool OptionBinder::isOn(Option option) const
{
    // The page's own control when it has one, as the user left it; else the option.
    for (const Binding &binding : m_bindings) {
        if (binding.option == option && binding.isOn)
            return binding.isOn();
    }
    return m_loadedFrom && m_loadedFrom->flag(option);
}

void OptionBinder::updateEnabled()
{
    for (const Binding &binding : std::as_const(m_bindings))
        binding.control->setEnabled(EnablingRules::enabled(binding.option, [this](Option o) { return isOn(o); }));
}

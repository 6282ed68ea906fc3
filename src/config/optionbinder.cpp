#include "config/optionbinder.h"

#include "config/radiogroup.h"

#include "settings/enablingrules.h"
#include "settings/options.h"

#include <QAbstractButton>
#include <QComboBox>
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
         [button, option](Options &o) { o.set(option, button->isChecked()); }, [button] { return button->isChecked(); },
         [button] { button->setChecked(false); }});
}

void OptionBinder::bind(QSpinBox *spinBox, Option option)
{
    add({option, spinBox, [spinBox, option](const Options &o) { spinBox->setValue(o.number(option)); },
         [spinBox, option](Options &o) { o.set(option, spinBox->value()); }, {}, {}});
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
    add({option, comboBox, load, apply, {}, {}});
}

void OptionBinder::bind(QLineEdit *edit, Option option)
{
    add({option, edit, [edit, option](const Options &o) { edit->setText(o.text(option)); },
         [edit, option](Options &o) { o.set(option, edit->text()); }, {}, {}});
}

void OptionBinder::bind(RadioGroup *group, Option option)
{
    add({option, group, [group, option](const Options &o) { group->setIndex(o.number(option)); },
         [group, option](Options &o) { o.set(option, group->index()); }, {}, {}});
}

void OptionBinder::follow(QWidget *companion, Option option)
{
    m_companions.append({companion, option, false});
    updateEnabled();
}

void OptionBinder::enableWhileOn(QWidget *control, Option option)
{
    m_companions.append({control, option, true});
    updateEnabled();
}

void OptionBinder::load(const Options &options)
{
    m_loadedFrom = &options;
    for (const Binding &binding : std::as_const(m_bindings))
        binding.load(options);
    updateEnabled();
}

void OptionBinder::load(const Options &options, Option changed)
{
    m_loadedFrom = &options;
    for (const Binding &binding : std::as_const(m_bindings)) {
        if (binding.option == changed)
            binding.load(options);
    }
    updateEnabled();
}

void OptionBinder::apply(Options &options) const
{
    for (const Binding &binding : m_bindings)
        binding.apply(options);
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
    const auto on = [this](Option o) { return isOn(o); };
    for (const Binding &binding : std::as_const(m_bindings)) {
        const bool enabled = EnablingRules::enabled(binding.option, on);
        binding.control->setEnabled(enabled);
        // Turning a switch off runs this again, which then finds it off.
        if (!enabled && binding.turnOff && EnablingRules::offWhenDisabled(binding.option))
            binding.turnOff();
    }
    for (const Companion &companion : std::as_const(m_companions)) {
        companion.control->setEnabled(EnablingRules::enabled(companion.option, on)
                                      && (!companion.whileOn || isOn(companion.option)));
    }
}

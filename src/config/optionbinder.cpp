#include "config/optionbinder.h"

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
         [button, option](Options &o) { o.set(option, button->isChecked()); }, [button] { return button->isChecked(); }});
}

void OptionBinder::bind(QSpinBox *spinBox, Option option)
{
    add({option, spinBox, [spinBox, option](const Options &o) { spinBox->setValue(o.number(option)); },
         [spinBox, option](Options &o) { o.set(option, spinBox->value()); }, {}});
}

void OptionBinder::bind(QComboBox *comboBox, Option option)
{
    add({option, comboBox, [comboBox, option](const Options &o) { comboBox->setCurrentIndex(o.number(option)); },
         [comboBox, option](Options &o) { o.set(option, comboBox->currentIndex()); }, {}});
}

void OptionBinder::bind(QLineEdit *edit, Option option)
{
    add({option, edit, [edit, option](const Options &o) { edit->setText(o.text(option)); },
         [edit, option](Options &o) { o.set(option, edit->text()); }, {}});
}

void OptionBinder::load(const Options &options)
{
    m_loadedFrom = &options;
    for (const Binding &binding : std::as_const(m_bindings))
        binding.load(options);
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
    for (const Binding &binding : std::as_const(m_bindings))
        binding.control->setEnabled(EnablingRules::enabled(binding.option, [this](Option o) { return isOn(o); }));
}

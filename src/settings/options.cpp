#include "settings/options.h"

#include "settings/optiontable.h"

Options::Options(QObject *parent)
    : QObject(parent)
{
    for (const OptionDef &def : OptionTable::all())
        m_values[std::size_t(def.option)] = def.formDefault;
}

void Options::store(Option option, const QVariant &value)
{
    QVariant &slot = m_values[std::size_t(option)];
    if (slot == value)
        return;
    slot = value;
    emit changed(option, value);
}

void Options::set(Option option, const QVariant &value)
{
    const OptionDef &def = OptionTable::def(option);
    QVariant typed = value;
    switch (def.type) {
    case OptionDef::Bool: typed = QVariant(value.toBool()); break;
    case OptionDef::Int: typed = QVariant(value.toInt()); break;
    case OptionDef::String: typed = QVariant(value.toString()); break;
    }
    if (def.radioGroup && typed.toBool()) {
        for (const OptionDef &other : OptionTable::all()) {
            if (other.radioGroup && &other != &def && qstrcmp(other.radioGroup, def.radioGroup) == 0)
                store(other.option, false);
        }
    }
    store(option, typed);
}

void Options::resetToFormDefaults()
{
    for (const OptionDef &def : OptionTable::all())
        set(def.option, def.formDefault);
}

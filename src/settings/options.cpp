#include "settings/options.h"

#include "settings/optiontable.h"

#include <QDebug>

Options::Options(QObject *parent)
    : QObject(parent)
{
    for (const OptionDef &def : OptionTable::all())
        m_values.insert(QString::fromLatin1(def.name), def.formDefault);
}

QVariant Options::value(const QString &name) const
{
    const auto it = m_values.constFind(name);
    Q_ASSERT_X(it != m_values.constEnd(), "Options::value", qPrintable(name));
    return it == m_values.constEnd() ? QVariant() : *it;
}

void Options::store(const QString &name, const QVariant &value)
{
    QVariant &slot = m_values[name];
    if (slot == value)
        return;
    slot = value;
    emit changed(name, value);
}

void Options::set(const QString &name, const QVariant &value)
{
    const OptionDef *def = OptionTable::find(name);
    Q_ASSERT_X(def, "Options::set", qPrintable(name));
    if (!def)
        return;
    QVariant typed = value;
    switch (def->type) {
    case OptionDef::Bool: typed = QVariant(value.toBool()); break;
    case OptionDef::Int: typed = QVariant(value.toInt()); break;
    case OptionDef::String: typed = QVariant(value.toString()); break;
    }
    if (def->radioGroup && typed.toBool()) {
        for (const OptionDef &other : OptionTable::all()) {
            if (other.radioGroup && &other != def && qstrcmp(other.radioGroup, def->radioGroup) == 0)
                store(QString::fromLatin1(other.name), false);
        }
    }
    store(name, typed);
}

void Options::resetToFormDefaults()
{
    for (const OptionDef &def : OptionTable::all())
        set(QString::fromLatin1(def.name), def.formDefault);
}

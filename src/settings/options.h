#pragma once

#include "settings/option.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <array>

// The options in memory, one place for all of them. Controls bind to it,
// the rest of the program reads it, and every change is announced, so a
// loaded value has the same effect as the user's click on its control.
class Options : public QObject
{
    Q_OBJECT
public:
    explicit Options(QObject *parent = nullptr);

    QVariant value(Option option) const { return m_values[std::size_t(option)]; }
    bool flag(Option option) const { return value(option).toBool(); }
    int number(Option option) const { return value(option).toInt(); }
    QString text(Option option) const { return value(option).toString(); }

    // Sets an option; switching a radio option on switches its group's others off.
    void set(Option option, const QVariant &value);
    void resetToFormDefaults();

signals:
    void changed(Option option, const QVariant &value);

private:
    void store(Option option, const QVariant &value);

    std::array<QVariant, kOptionCount> m_values;
};

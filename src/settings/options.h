#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

// The options in memory, one place for all of them. Controls bind to it,
// the rest of the program reads it, and every change is announced, so a
// loaded value has the same effect as the user's click on its control.
class Options : public QObject
{
    Q_OBJECT
public:
    explicit Options(QObject *parent = nullptr);

    QVariant value(const QString &name) const;
    bool flag(const QString &name) const { return value(name).toBool(); }
    int number(const QString &name) const { return value(name).toInt(); }
    QString text(const QString &name) const { return value(name).toString(); }

    // Sets an option; switching a radio option on switches its group's others off.
    void set(const QString &name, const QVariant &value);
    void resetToFormDefaults();

signals:
    void changed(const QString &name, const QVariant &value);

private:
    void store(const QString &name, const QVariant &value);

    QHash<QString, QVariant> m_values;
};

#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class Options;
struct OptionDef;
class QSettings;

// What loading and saving the options need to know about the program's state.
struct SettingsContext
{
    int categoryCount = 0;
    int tipCount = 0;  // 0 while no tips are known: the tip index is then only kept non-negative
};

// The per-user settings file: reads it into the options, writes the options
// back in their fixed order, and keeps the autostart entry in step with the
// option to start at login.
class SettingsStore
{
public:
    SettingsStore(QString iniPath, QString programFile, QString programFolder, QString autostartFile);

    const QString &iniPath() const { return m_iniPath; }
    QString defaultDataFile() const;

    // Returns true on a first run, after writing the options' current state.
    // Each value is read on its own: one that is missing, not a number of its
    // type, or (the hotkey's key) not in its list takes its own default, the
    // others still apply, and the file gets the default in its place so the
    // next load finds it sound. Their names are then in unreadableValues().
    bool load(Options &options, const SettingsContext &context,
                      const std::function<void()> &afterCategoryIndex = {});
    // The stored names the last load replaced by their defaults, in read order.
    const QStringList &unreadableValues() const { return m_unreadable; }
    void save(Options &options, const SettingsContext &context, const QString &currentDataFile);

    QString currentDataFile();
    // No settings saved yet (or the first-run mark set): this is a first run.
    bool isFirstRun() const;
    bool readBackupSetting() const;

private:
    void updateAutostart(bool start) const;
    static std::optional<QVariant> readValue(QSettings &settings, const OptionDef &def);
    static void clampIndexes(Options &options, const SettingsContext &context);

    QString m_iniPath;
    QString m_programFile;
    QString m_programFolder;
    QString m_autostartFile;
    QStringList m_unreadable;
};

#include "settings/settingsstore.h"

#include "settings/optiontable.h"
#include "settings/options.h"

#include "store/datafileformat.h"
#include "common/programerror.h"
#include "common/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

const char *const kFirstTime = "FirstTime";
const char *const kCurrentVer = "CurrentVer";
const char *const kCurrentPath = "CurrentPath";
const char *const kCurrDb = "currdb";

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

QVariant stored(const OptionDef &def, const QVariant &value)
{
    switch (def.type) {
    case OptionDef::Bool: return value.toBool() ? 1 : 0;
    case OptionDef::Int: return value.toInt();
    case OptionDef::String: return value.toString();
    }
    return value;
}

int clampedIndex(int index, int count)
{
    return index < 0 || index >= count ? 0 : index;
}

// Desktop entries split Exec at blanks; a path with blanks or quotes is quoted.
QString desktopExec(const QString &path)
{
    static const QString special = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (const QChar c : path)
        needsQuotes = needsQuotes || special.contains(c);
    if (!needsQuotes)
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\\\\\"));
    for (const char c : {'"', '`', '$'})
        quoted.replace(QLatin1Char(c), QStringLiteral("\\\\") + QLatin1Char(c));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void checkWritten(QSettings &settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw ProgramError(QStringLiteral("The settings cannot be saved to \"%1\".").arg(settings.fileName()));
    QFile::setPermissions(settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

SettingsStore::SettingsStore(QString iniPath, QString programFile, QString programFolder, QString autostartFile)
    : m_iniPath(std::move(iniPath))
    , m_programFile(std::move(programFile))
    , m_programFolder(std::move(programFolder))
    , m_autostartFile(std::move(autostartFile))
{
}

QString SettingsStore::defaultDataFile() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("data.db"));
}

std::optional<QVariant> SettingsStore::readValue(QSettings &settings, const OptionDef &def)
{
    if (!settings.contains(key(def.name)))
        return def.readDefault;
    const QVariant raw = settings.value(key(def.name));
    if (def.type == OptionDef::String)
        return raw.typeId() == QMetaType::QStringList ? raw.toStringList().join(QLatin1Char(',')) : raw.toString();
    // A number beyond 32 bits is no value of this type either.
    const auto number = DataFileFormat::parseInteger(raw.toString());
    if (!number || raw.typeId() == QMetaType::QStringList)
        return std::nullopt;
    if (def.type == OptionDef::Bool)
        return *number != 0;
    return *number;
}

void SettingsStore::clampIndexes(Options &options, const SettingsContext &context)
{
    for (const Option index : {Option::CurrentCategory, Option::ImageCategory, Option::TextCategory})
        options.set(index, clampedIndex(options.number(index), context.categoryCount));
    if (options.number(Option::HotkeyKey) < 0)
        options.set(Option::HotkeyKey, OptionTable::hotkeyIndexOfV());
    const int tip = options.number(Option::NextTip);
    options.set(Option::NextTip, context.tipCount > 0 ? clampedIndex(tip, context.tipCount) : std::max(tip, 0));
}

bool SettingsStore::load(Options &options, const SettingsContext &context,
                                 const std::function<void()> &afterCategoryIndex)
{
    m_unreadable.clear();
    {
        QSettings settings(m_iniPath, QSettings::IniFormat);
        const bool firstTime = isFirstRun();
        if (!firstTime) {
            QVariantMap repairs;
            const auto apply = [&](Option option) {
                const OptionDef &def = OptionTable::def(option);
                const QVariant fallback = def.readDefault ? *def.readDefault : def.formDefault;
                std::optional<QVariant> read = readValue(settings, def);
                // No key of the list is a stored key the program never wrote:
                // the hotkey goes back to its default rather than to Backspace.
                if (read && def.clamp == OptionDef::HotkeyIndex
                    && (read->toInt() < 0 || read->toInt() >= OptionTable::hotkeyKeyCount()))
                    read.reset();
                if (!read) {
                    m_unreadable << QString::fromLatin1(def.name);
                    repairs.insert(QString::fromLatin1(def.name), stored(def, fallback));
                }
                QVariant value = read.value_or(fallback);
                switch (def.clamp) {
                case OptionDef::NoClamp: break;
                case OptionDef::Range: value = std::clamp(value.toInt(), def.min, def.max); break;
                case OptionDef::CategoryIndex: value = clampedIndex(value.toInt(), context.categoryCount); break;
                case OptionDef::HotkeyIndex: break;
                case OptionDef::TipIndex:
                    value = context.tipCount > 0 ? clampedIndex(value.toInt(), context.tipCount)
                                                 : std::max(value.toInt(), 0);
                    break;
                case OptionDef::MinWidth: value = value.toInt() < 5 ? 50 : value.toInt(); break;
                }
                options.set(option, value);
            };
            for (const Option option : OptionTable::readOrderBeforeVersion()) {
                apply(option);
                if (option == Option::CurrentCategory && afterCategoryIndex)
                    afterCategoryIndex();
            }
            if (!settings.contains(key(kCurrentVer))) {
                settings.setValue(key(kCurrentVer), DataFileFormat::kVersion);
                settings.setValue(key(kCurrentPath), m_programFile);
                checkWritten(settings);
            }
            for (const Option option : OptionTable::readOrderAfterVersion())
                apply(option);
            if (!repairs.isEmpty()) {
                for (auto it = repairs.cbegin(); it != repairs.cend(); ++it)
                    settings.setValue(it.key(), it.value());
                // A file that cannot take the repair keeps its bad values;
                // what was read stands either way.
                try {
                    checkWritten(settings);
                } catch (const ProgramError &) {
                }
            }
            return false;
        }
    }
    save(options, context, currentDataFile());
    return true;
}

void SettingsStore::save(Options &options, const SettingsContext &context, const QString &currentDataFile)
{
    clampIndexes(options, context);
    {
        QSettings settings(m_iniPath, QSettings::IniFormat);
        settings.setValue(key(kFirstTime), 0);
        for (const OptionDef &def : OptionTable::all()) {
            settings.setValue(key(def.name), stored(def, options.value(def.option)));
            if (def.option == Option::ConfirmCategoryDelete) {
                settings.setValue(key(kCurrentVer), DataFileFormat::kVersion);
                settings.setValue(key(kCurrentPath), m_programFile);
            }
        }
        settings.setValue(key(kCurrDb), settings.contains(key(kCurrDb)) ? currentDataFile : defaultDataFile());
        checkWritten(settings);
    }
    updateAutostart(options.flag(Option::StartAtLogin));
}

bool SettingsStore::isFirstRun() const
{
    if (!QFileInfo::exists(m_iniPath))
        return true;
    const QSettings settings(m_iniPath, QSettings::IniFormat);
    return !settings.contains(key(kFirstTime))
           || settings.value(key(kFirstTime)).toString().trimmed() == QLatin1String("1");
}

QString SettingsStore::currentDataFile()
{
    QSettings settings(m_iniPath, QSettings::IniFormat);
    if (settings.contains(key(kCurrDb)))
        return settings.value(key(kCurrDb)).toString();
    settings.setValue(key(kCurrDb), defaultDataFile());
    checkWritten(settings);
    return defaultDataFile();
}

bool SettingsStore::readBackupSetting() const
{
    QSettings settings(m_iniPath, QSettings::IniFormat);
    const QString backup = key(OptionTable::def(Option::BackupAfterLoad).name);
    if (!settings.contains(backup))
        return true;
    const auto number = DataFileFormat::parseInteger(settings.value(backup).toString());
    return !number || *number != 0;
}

void SettingsStore::updateAutostart(bool start) const
{
    // The autostart entry is a convenience: failing to write it is not reported.
    if (!start) {
        QFile::remove(m_autostartFile);
        return;
    }
    const QByteArray entry = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=Scrapkeeper\n"
                                            "Comment=Keeps snippets and pastes them on a hotkey\n"
                                            "Exec=%1\n"
                                            "Terminal=false\n"
                                            "X-GNOME-Autostart-enabled=true\n")
                                 .arg(desktopExec(m_programFile))
                                 .toUtf8();
    try {
        QDir().mkpath(QFileInfo(m_autostartFile).absolutePath());
        SafeFile::writeBytes(m_autostartFile, entry);
    } catch (const ProgramError &) {
    }
}

#pragma once

#include "settings/option.h"

#include <QString>
#include <QVariant>

#include <optional>
#include <span>

// Every option the configuration window offers, as data: its key, stored name,
// type, the state the window is designed with, the default read when the
// value is missing (only where older versions lacked it), its range and the
// radio group it belongs to.
struct OptionDef
{
    enum Type { Bool, Int, String };
    enum Clamp { NoClamp, Range, CategoryIndex, HotkeyIndex, TipIndex, MinWidth };

    Option option;
    const char *name;
    Type type;
    QVariant formDefault;
    std::optional<QVariant> readDefault;
    Clamp clamp = NoClamp;
    int min = 0;
    int max = 0;
    const char *radioGroup = nullptr;
};

namespace OptionTable {

// The options in the order they are written.
std::span<const OptionDef> all();
const OptionDef &def(Option option);
// The option stored under `name`, if any.
std::optional<Option> find(QStringView name);

// The order a load reads them; it differs from the written order in a few places.
std::span<const Option> readOrderBeforeVersion();
std::span<const Option> readOrderAfterVersion();

// Entries of the hotkey key list; "V" is the default.
int hotkeyKeyCount();
int hotkeyIndexOfV();

} // namespace OptionTable

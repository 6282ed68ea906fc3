#include "settings/optiontable.h"

#include <array>

namespace OptionTable {

namespace {

constexpr int kHotkeyKeys = 95;
constexpr int kIndexOfV = 49;

using O = OptionDef;

const std::array<OptionDef, 48> kOptions{{
    {"catcombo", O::Int, 0, {}, O::CategoryIndex},
    {"lba", O::Bool, true, {}},
    {"ctrl", O::Bool, true, true},
    {"shift", O::Bool, false, false},
    {"alt", O::Bool, false, false},
    {"win", O::Bool, false, false},
    {"hkindex", O::Int, kIndexOfV, kIndexOfV, O::HotkeyIndex},
    {"backup", O::Bool, true, true},
    {"paste", O::Bool, true, {}},
    {"showbmp", O::Bool, true, {}},
    {"showx", O::Bool, true, {}},
    {"auto", O::Bool, true, {}},
    {"txtcurr", O::Bool, true, {}, O::NoClamp, 0, 0, "txt"},
    {"txtspec", O::Bool, false, {}, O::NoClamp, 0, 0, "txt"},
    {"catcombo3", O::Int, 0, {}, O::CategoryIndex},
    {"txtcat", O::Bool, false, {}, O::NoClamp, 0, 0, "txt"},
    {"dup", O::Bool, true, {}},
    {"allowrtf", O::Bool, true, {}},
    {"autobmp", O::Bool, true, {}},
    {"bmpcurr", O::Bool, true, {}, O::NoClamp, 0, 0, "bmp"},
    {"bmpspec", O::Bool, false, {}, O::NoClamp, 0, 0, "bmp"},
    {"catcombo2", O::Int, 0, {}, O::CategoryIndex},
    {"save", O::Bool, true, {}},
    {"start", O::Bool, true, {}},
    {"systray", O::Bool, true, {}},
    {"hide", O::Bool, true, {}},
    {"playsound", O::Bool, false, {}},
    {"sound", O::Bool, false, {}, O::NoClamp, 0, 0, "sound"},
    {"beep", O::Bool, true, {}, O::NoClamp, 0, 0, "sound"},
    {"soundedit", O::String, QString(), QString()},
    {"global", O::Bool, false, {}},
    {"gpaste", O::Int, 0, {}, O::Range, 0, 2},
    {"showtip", O::Bool, true, {}},
    {"ct", O::Int, 0, {}, O::TipIndex},
    {"del", O::Bool, false, {}},
    {"delcat", O::Bool, true, {}},
    {"plheight", O::Int, 8, {}, O::Range, 1, 1000},
    {"shrink", O::Bool, true, {}},
    {"wedit", O::Int, 250, {}, O::MinWidth},
    {"preview", O::Bool, false, {}},
    {"copyitem", O::Int, 25, {}, O::Range, 1, 65},
    {"margin", O::Bool, true, {}},
    {"viewns", O::Bool, false, {}},
    {"msrg", O::Int, 0, {}, O::Range, 0, 1},
    {"autosaverg", O::Int, 0, {}, O::Range, 0, 2},
    {"asse", O::Int, 2, {}, O::Range, 1, 60},
    {"tooltip", O::Bool, false, true},
    // Kept with the options though no control shows it: the file to offer back.
    {"prevfile", O::String, QString(), QString()},
}};

constexpr std::array<const char *, 36> kReadBefore{
    "catcombo", "lba", "ctrl", "shift", "alt", "win", "hkindex", "backup", "paste", "showbmp", "showx", "auto",
    "txtcurr", "txtspec", "catcombo3", "txtcat", "allowrtf", "delcat", "dup", "autobmp", "bmpcurr", "bmpspec",
    "catcombo2", "start", "systray", "hide", "save", "playsound", "sound", "beep", "soundedit", "global", "gpaste",
    "showtip", "ct", "del"};

constexpr std::array<const char *, 12> kReadAfter{"plheight", "shrink", "wedit", "preview", "copyitem", "margin",
                                                  "viewns", "msrg", "autosaverg", "asse", "tooltip", "prevfile"};

} // namespace

std::span<const OptionDef> all()
{
    return kOptions;
}

const OptionDef *find(QStringView name)
{
    for (const OptionDef &def : kOptions) {
        if (name == QLatin1String(def.name))
            return &def;
    }
    return nullptr;
}

std::span<const char *const> readOrderBeforeVersion()
{
    return kReadBefore;
}

std::span<const char *const> readOrderAfterVersion()
{
    return kReadAfter;
}

int hotkeyKeyCount()
{
    return kHotkeyKeys;
}

int hotkeyIndexOfV()
{
    return kIndexOfV;
}

} // namespace OptionTable

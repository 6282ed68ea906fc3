#include "settings/optiontable.h"

#include "settings/hotkeykeys.h"

#include <array>

namespace OptionTable {

namespace {

constexpr int kIndexOfV = 49;

using O = OptionDef;

const std::array<OptionDef, kOptionCount> kOptions{{
    {Option::CurrentCategory, "catcombo", O::Int, 0, {}, O::CategoryIndex},
    {Option::QuickListActive, "lba", O::Bool, true, {}},
    {Option::HotkeyCtrl, "ctrl", O::Bool, true, true},
    {Option::HotkeyShift, "shift", O::Bool, false, false},
    {Option::HotkeyAlt, "alt", O::Bool, false, false},
    {Option::HotkeyWin, "win", O::Bool, false, false},
    {Option::HotkeyKey, "hkindex", O::Int, kIndexOfV, kIndexOfV, O::HotkeyIndex},
    {Option::BackupAfterLoad, "backup", O::Bool, true, true},
    {Option::PasteText, "paste", O::Bool, true, {}},
    {Option::PasteImage, "showbmp", O::Bool, true, {}},
    {Option::ListHelpButtons, "showx", O::Bool, true, {}},
    {Option::CaptureText, "auto", O::Bool, true, {}},
    {Option::TextToCurrentCategory, "txtcurr", O::Bool, true, {}, O::NoClamp, 0, 0, "txt"},
    {Option::TextToChosenCategory, "txtspec", O::Bool, false, {}, O::NoClamp, 0, 0, "txt"},
    {Option::TextCategory, "catcombo3", O::Int, 0, {}, O::CategoryIndex},
    {Option::TextToEveryCategory, "txtcat", O::Bool, false, {}, O::NoClamp, 0, 0, "txt"},
    {Option::PreventDuplicates, "dup", O::Bool, true, {}},
    {Option::CaptureRichText, "allowrtf", O::Bool, true, {}},
    {Option::CaptureHtml, "allowhtml", O::Bool, true, true},
    {Option::CaptureImages, "autobmp", O::Bool, true, {}},
    {Option::ImagesToCurrentCategory, "bmpcurr", O::Bool, true, {}, O::NoClamp, 0, 0, "bmp"},
    {Option::ImagesToChosenCategory, "bmpspec", O::Bool, false, {}, O::NoClamp, 0, 0, "bmp"},
    {Option::ImageCategory, "catcombo2", O::Int, 0, {}, O::CategoryIndex},
    {Option::SaveOnExit, "save", O::Bool, true, {}},
    {Option::StartAtLogin, "start", O::Bool, true, {}},
    {Option::MinimiseToTray, "systray", O::Bool, true, {}},
    {Option::HideFromTaskbar, "hide", O::Bool, true, {}},
    {Option::CaptureSound, "playsound", O::Bool, false, {}},
    {Option::CaptureSoundFile, "sound", O::Bool, false, {}, O::NoClamp, 0, 0, "sound"},
    {Option::CaptureBeep, "beep", O::Bool, true, {}, O::NoClamp, 0, 0, "sound"},
    {Option::SoundFile, "soundedit", O::String, QString(), QString()},
    {Option::GlobalPaste, "global", O::Bool, false, {}},
    {Option::GlobalPasteMethod, "gpaste", O::Int, 0, {}, O::Range, 0, 2},
    {Option::TipOnStart, "showtip", O::Bool, true, {}},
    {Option::NextTip, "ct", O::Int, 0, {}, O::TipIndex},
    {Option::ConfirmItemDelete, "del", O::Bool, false, {}},
    {Option::ConfirmCategoryDelete, "delcat", O::Bool, true, {}},
    {Option::ListRows, "plheight", O::Int, 8, {}, O::Range, 1, 1000},
    {Option::ShrinkList, "shrink", O::Bool, true, {}},
    {Option::ListWidth, "wedit", O::Int, 250, {}, O::MinWidth},
    {Option::PreviewWindow, "preview", O::Bool, false, {}},
    {Option::CopyMenuSize, "copyitem", O::Int, 25, {}, O::Range, 1, 65},
    {Option::MenuMarginBar, "margin", O::Bool, true, {}},
    {Option::MenuHighlight, "viewns", O::Bool, false, {}},
    {Option::MenuHighlightStyle, "msrg", O::Int, 0, {}, O::Range, 0, 1},
    {Option::AutoSaveChoice, "autosaverg", O::Int, 0, {}, O::Range, 0, 2},
    {Option::AutoSaveMinutes, "asse", O::Int, 2, {}, O::Range, 1, 60},
    {Option::ItemTooltip, "tooltip", O::Bool, false, true},
    {Option::TypingSearches, "typesearch", O::Bool, false, false},
    // Kept with the options though no control shows it: the file to offer back.
    {Option::PreviousDataFile, "prevfile", O::String, QString(), QString()},
}};

constexpr std::array<Option, 36> kReadBefore{
    Option::CurrentCategory, Option::QuickListActive, Option::HotkeyCtrl, Option::HotkeyShift,
    Option::HotkeyAlt, Option::HotkeyWin, Option::HotkeyKey, Option::BackupAfterLoad, Option::PasteText,
    Option::PasteImage, Option::ListHelpButtons, Option::CaptureText, Option::TextToCurrentCategory,
    Option::TextToChosenCategory, Option::TextCategory, Option::TextToEveryCategory, Option::CaptureRichText,
    Option::ConfirmCategoryDelete, Option::PreventDuplicates, Option::CaptureImages,
    Option::ImagesToCurrentCategory, Option::ImagesToChosenCategory, Option::ImageCategory,
    Option::StartAtLogin, Option::MinimiseToTray, Option::HideFromTaskbar, Option::SaveOnExit,
    Option::CaptureSound, Option::CaptureSoundFile, Option::CaptureBeep, Option::SoundFile,
    Option::GlobalPaste, Option::GlobalPasteMethod, Option::TipOnStart, Option::NextTip,
    Option::ConfirmItemDelete};

constexpr std::array<Option, 14> kReadAfter{
    Option::ListRows, Option::ShrinkList, Option::ListWidth, Option::PreviewWindow, Option::CopyMenuSize,
    Option::MenuMarginBar, Option::MenuHighlight, Option::MenuHighlightStyle, Option::AutoSaveChoice,
    Option::AutoSaveMinutes, Option::ItemTooltip, Option::TypingSearches, Option::PreviousDataFile, Option::CaptureHtml};

} // namespace

std::span<const OptionDef> all()
{
    return kOptions;
}

const OptionDef &def(Option option)
{
    const OptionDef &entry = kOptions[std::size_t(option)];
    Q_ASSERT(entry.option == option);
    return entry;
}

std::optional<Option> find(QStringView name)
{
    for (const OptionDef &entry : kOptions) {
        if (name == QLatin1String(entry.name))
            return entry.option;
    }
    return std::nullopt;
}

std::span<const Option> readOrderBeforeVersion()
{
    return kReadBefore;
}

std::span<const Option> readOrderAfterVersion()
{
    return kReadAfter;
}

int hotkeyKeyCount()
{
    return HotkeyKeys::ListSize;
}

int hotkeyIndexOfV()
{
    return kIndexOfV;
}

} // namespace OptionTable

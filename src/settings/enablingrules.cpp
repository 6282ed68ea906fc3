#include "settings/enablingrules.h"

#include "settings/options.h"


namespace EnablingRules {

namespace {

using O = Option;

const std::vector<EnablingRule> kRules{
    // The hotkey and everything about pasting need the quick list.
    {O::HotkeyCtrl, {O::QuickListActive}},
    {O::HotkeyAlt, {O::QuickListActive}},
    {O::HotkeyShift, {O::QuickListActive}},
    {O::HotkeyWin, {O::QuickListActive}},
    {O::HotkeyKey, {O::QuickListActive}},
    {O::PasteText, {O::QuickListActive}},
    {O::PasteImage, {O::QuickListActive}},
    {O::ListHelpButtons, {O::QuickListActive}},
    {O::GlobalPaste, {O::QuickListActive}},
    {O::GlobalPasteMethod, {O::QuickListActive, O::GlobalPaste}},
    // Text capture's destinations, and the chosen category once it is chosen.
    {O::TextToCurrentCategory, {O::CaptureText}},
    {O::TextToChosenCategory, {O::CaptureText}},
    {O::TextToEveryCategory, {O::CaptureText}},
    {O::PreventDuplicates, {O::CaptureText}},
    {O::TextCategory, {O::CaptureText, O::TextToChosenCategory}},
    // An HTML copy's formatting is kept as rich text, so only while rich text is.
    {O::CaptureHtml, {O::CaptureRichText}},
    // Image capture likewise.
    {O::ImagesToCurrentCategory, {O::CaptureImages}},
    {O::ImagesToChosenCategory, {O::CaptureImages}},
    {O::ImageCategory, {O::CaptureImages, O::ImagesToChosenCategory}},
    // The capture sound: a file or a beep, and the file only for the file.
    {O::CaptureSoundFile, {O::CaptureSound}},
    {O::CaptureBeep, {O::CaptureSound}},
    {O::SoundFile, {O::CaptureSound, O::CaptureSoundFile}},
    // Leaving the taskbar only makes sense with a tray icon to come back by;
    // without one the program is never hidden from it.
    {O::HideFromTaskbar, {O::MinimiseToTray}, true},
    // The kind of highlight only matters while the highlight is on.
    {O::MenuHighlightStyle, {O::MenuHighlight}},
};

} // namespace

const std::vector<EnablingRule> &all()
{
    return kRules;
}

bool enabled(Option option, const std::function<bool(Option)> &isOn)
{
    for (const EnablingRule &rule : kRules) {
        if (rule.control != option)
            continue;
        for (const Option needed : rule.dependsOn) {
            if (!isOn(needed))
                return false;
        }
        return true;
    }
    return true;
}

bool enabled(Option option, const Options &options)
{
    return enabled(option, [&options](Option o) { return options.flag(o); });
}

bool offWhenDisabled(Option option)
{
    for (const EnablingRule &rule : kRules) {
        if (rule.control == option)
            return rule.offWhenDisabled;
    }
    return false;
}

} // namespace EnablingRules

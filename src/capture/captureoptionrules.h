#pragma once

#include "settings/options.h"

// Which capture controls are usable, as the options pages will show them:
// each control follows the options it depends on.
namespace CaptureOptionRules {

// txtcurrrb, txtspecrb, txtcatrb and dupcb.
inline bool textDestinationsEnabled(const Options &o) { return o.flag(Option::CaptureText); }
inline bool textCategoryEnabled(const Options &o)  // catcombo3
{
    return o.flag(Option::CaptureText) && o.flag(Option::TextToChosenCategory);
}
// bmpcurrrb and bmpspecrb.
inline bool imageDestinationsEnabled(const Options &o) { return o.flag(Option::CaptureImages); }
inline bool imageCategoryEnabled(const Options &o)  // catcombo2
{
    return o.flag(Option::CaptureImages) && o.flag(Option::ImagesToChosenCategory);
}
// soundrb, beeprb and testbtn.
inline bool soundChoicesEnabled(const Options &o) { return o.flag(Option::CaptureSound); }
// soundedit and its browse button browsesp.
inline bool soundFileEnabled(const Options &o)
{
    return o.flag(Option::CaptureSound) && o.flag(Option::CaptureSoundFile);
}

} // namespace CaptureOptionRules

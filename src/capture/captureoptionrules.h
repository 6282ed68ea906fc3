#pragma once

#include "settings/options.h"

// Which capture controls are usable, as the options pages will show them:
// each control follows the options it depends on.
namespace CaptureOptionRules {

// txtcurrrb, txtspecrb, txtcatrb and dupcb.
inline bool textDestinationsEnabled(const Options &o) { return o.flag(QStringLiteral("auto")); }
inline bool textCategoryEnabled(const Options &o)  // catcombo3
{
    return o.flag(QStringLiteral("auto")) && o.flag(QStringLiteral("txtspec"));
}
// bmpcurrrb and bmpspecrb.
inline bool imageDestinationsEnabled(const Options &o) { return o.flag(QStringLiteral("autobmp")); }
inline bool imageCategoryEnabled(const Options &o)  // catcombo2
{
    return o.flag(QStringLiteral("autobmp")) && o.flag(QStringLiteral("bmpspec"));
}
// soundrb, beeprb and testbtn.
inline bool soundChoicesEnabled(const Options &o) { return o.flag(QStringLiteral("playsound")); }
// soundedit and its browse button browsesp.
inline bool soundFileEnabled(const Options &o)
{
    return o.flag(QStringLiteral("playsound")) && o.flag(QStringLiteral("sound"));
}

} // namespace CaptureOptionRules

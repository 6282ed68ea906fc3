#pragma once

#include <QString>

namespace MenuText {

// A caption from the user's data (a category's name, an item's alias) shown
// as it is: its ampersands are not taken for shortcut marks.
inline QString literal(QString caption)
{
    return caption.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace MenuText

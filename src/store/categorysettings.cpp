#include "store/categorysettings.h"

#include "store/textlimits.h"

void CategorySettings::setExtraText(const QString &text)
{
    extraText = cutToCharacters(text, ExtraTextCapacity);
}

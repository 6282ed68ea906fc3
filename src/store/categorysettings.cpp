#include "store/categorysettings.h"

#include "store/textlimits.h"

void CategorySettings::setExtraText(const QString &text)
{
    ExtraText = cutToCharacters(text, ExtraTextCapacity);
}

#include "categoryrec.h"

#include "textlimits.h"

void TCategoryRec::setExtraText(const QString &text)
{
    ExtraText = cutToCharacters(text, ExtraTextCapacity);
}

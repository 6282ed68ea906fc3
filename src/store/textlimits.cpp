#include "store/textlimits.h"

QString cutToCharacters(const QString &text, int maxChars)
{
    int chars = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (chars == maxChars)
            return text.left(pos);
        const bool pair = text.at(pos).isHighSurrogate() && pos + 1 < text.size()
                          && text.at(pos + 1).isLowSurrogate();
        pos += pair ? 2 : 1;
        ++chars;
    }
    return text;
}

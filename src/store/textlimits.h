#pragma once

#include <QString>

// Cuts a text to at most maxChars Unicode characters without splitting a
// surrogate pair, so lengths mean what the user sees.
QString cutToCharacters(const QString &text, int maxChars);

#pragma once

#include <QString>
#include <QStringView>

// The one-line display texts of items. Shared by capture, the item editor
// and quick add, so an item gets the same alias whichever way it was made.
namespace AliasDerivation {

inline constexpr int MaxLength = 100;

// Derives an alias from a text: its first non-blank line, trimmed on the
// left, with "..." when lines follow; "<N spaces>" for a blank text.
// `removeLineBreaks` also drops CR and LF characters left in the result.
QString fromText(QStringView text, bool removeLineBreaks = true);

// The item editor's rule: "<blank>" for an empty text, the typed alias when
// it is not blank, otherwise the derived one (for rich text, pass its plain form).
QString forEditor(QStringView text, const QString &typedAlias, QStringView plainText);

QString forQuickAdd(const QString &text);
QString forImage(int width, int height);

} // namespace AliasDerivation

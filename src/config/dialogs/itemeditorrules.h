#pragma once

#include <QString>
#include <QStringView>

struct Item;

// The item editor's rules that need no window: the counts of its Properties
// tab, when the alias follows the text, and how OK completes a record.
namespace ItemEditorRules {

// Lines as the editor counts them: none for an empty text, and a final line
// break opens no line of its own.
int lineCount(QStringView text);
// Every line counts one, plus one for each run of spaces inside it once its
// ends are trimmed; so an empty line counts one.
int wordCount(QStringView text);
// Characters with every line break counted as two (CR LF).
int characterCount(QStringView text);

// While the alias equals a text of at most one line and is shorter than an
// alias may be, typing in the text carries on into the alias.
bool aliasFollowsText(QStringView text, QStringView alias);

// What OK does to the record the editor shows: "extra text" without any
// falls back to no action, and the alias is completed by the editor's rule
// (`plainText` is the text without formatting, for rich text).
void completeRecord(Item &item, const QString &typedAlias, QStringView plainText);

} // namespace ItemEditorRules

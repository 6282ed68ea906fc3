#pragma once

#include <QString>

class Collection;
struct CategoryNode;

// True when the text reads as a 32-bit whole number: after optional leading
// spaces, an optional sign and decimal digits, or "$" and hexadecimal digits,
// up to its end. The value -89 does not count: the data file's number test has
// always used it as its "not a number" answer, so a category may be called -89.
bool looksLikeWholeNumber(const QString &text);

// The message to show for a category name the user typed, or an empty string
// when the name may be used. The name is taken exactly as typed (no trimming,
// case-sensitive). `edited` is the category being renamed, null for a new one.
QString categoryNameProblem(const Collection &collection, const QString &name, const CategoryNode *edited);

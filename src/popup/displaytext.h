#pragma once

#include <QString>

namespace DisplayText {

// What a small window can show of a text, as plain lines: the first
// `maxLines` lines, each cut after `maxColumns` characters, an ellipsis where
// something was left out. A multi-megabyte item is never laid out whole.
QString excerpt(const QString &text, int maxLines = 40, int maxColumns = 200);

} // namespace DisplayText

#pragma once

#include <QIcon>

// The tree's node pictures, drawn so they need no image files.
namespace NodeIcons {

enum class Kind { ClosedCategory, OpenCategory, Text, Picture, RichText };
const QIcon &icon(Kind kind);

} // namespace NodeIcons

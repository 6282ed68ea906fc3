#pragma once

#include <QString>

// The explanations of the paste methods, one place for the item editor's
// and the pop-up list page's help buttons.
namespace PasteMethodHelp {

// The three methods, in menu order.
const QString &methods();
// The global method's help: what it overrides, then the three methods.
const QString &globalMethod();

} // namespace PasteMethodHelp

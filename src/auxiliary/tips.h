#pragma once

#include <QString>

// The tips of the day, in the order they are shown, and how the position
// moves on: after the last tip comes the first again.
namespace Tips {

int count();
// The tip at `index`; an index out of range shows the first tip.
QString text(int index);
int next(int index);

} // namespace Tips

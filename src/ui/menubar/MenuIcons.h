#pragma once

#include <QIcon>
#include <QString>

// The symbols of menu items, made once per look and then reused: drawing an
// SVG takes a noticeable time and a menu may show thousands of items with a
// handful of symbols. Main thread only.
namespace MenuIcons {

enum class Tint { text, danger };

// The symbol in the menu's text colour or the danger colour, and in the
// highlighted text colour on the highlighted row. Its On state, shown while
// a checkable item is checked, is the symbol in white on a tile of the brand
// gradient: the style marks a checked item with an icon only by a faint
// frame. A null icon for a name without an image.
QIcon symbol(const QString &name, bool small, Tint tint);

} // namespace MenuIcons

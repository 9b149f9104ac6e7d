#pragma once

#include <QImage>
#include <QPalette>
#include <QString>

// The tray icon's picture for a symbol. The tray's panel may be dark or
// light whatever the desktop's palette says of windows: the symbol is drawn
// in the palette's text colour inside a thin halo of its window colour, so
// that it reads on both.
namespace TrayIconImage {

inline constexpr int pixels = 32;

// A clipboard outline for a symbol without an image: a tray icon without
// one would be an empty, unclickable gap.
QImage make(const QString &symbol, const QPalette &palette);

} // namespace TrayIconImage

#pragma once

#include <QPalette>

// The two appearances the gallery shows every component in.
namespace Appearance {

QPalette light();
// What a dark desktop theme hands the application: dark window, light text.
QPalette dark();

} // namespace Appearance

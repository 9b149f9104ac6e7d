#pragma once

#include <QtGlobal>

#include <chrono>

// Durations stored as counts of a unit (hours of retention, minutes until a
// secret expires).
namespace SettingDuration {

// count units in seconds. A hand-edited settings file can hold any count:
// one too large to multiply is cut to ten thousand years, far enough to keep
// or wait for anything.
qint64 seconds(qint64 count, std::chrono::seconds unit);

} // namespace SettingDuration

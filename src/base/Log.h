#pragma once

#include <QString>

#include <functional>

// The one way Vantorell writes its log: "[Vantorell] " lines to stderr and
// syslog. Tests install a sink to read the lines instead.
namespace Log {

inline constexpr QStringView prefix = u"[Vantorell] ";

// Writes prefix + message.
void write(const QString &message);

using Sink = std::function<void(const QString &line)>;

// Replaces the output with sink (stderr and syslog when empty). Returns the
// previous sink.
Sink setSink(Sink sink);

} // namespace Log

#pragma once

#include <QString>

#include <optional>

// Re-lays out JSON text as written, instead of re-serialising it, so member
// order, number spelling and string escapes stay exactly as they were.
namespace JsonLayout {

// The text (already trimmed) pretty-printed (two spaces per level, ": "
// between key and value) or minified; none unless it is strict JSON with an
// object or array at the top.
std::optional<QString> prettyPrintJSON(QStringView text, bool pretty);

// The layout walk alone, for text known to be strict JSON.
QString relayout(QStringView json, bool pretty);

} // namespace JsonLayout

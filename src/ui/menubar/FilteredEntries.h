#pragma once

#include "records/ClipboardEntry.h"
#include "ui/menubar/HistoryFilter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Opens a sealed search text; none when it cannot (no key, a damaged blob).
using SearchTextOpener = std::function<std::optional<QByteArray>(QByteArrayView sealed)>;

// The history as the panel shows it: orderedEntries narrowed by the chip,
// then by the query, lower-cased as typed (blanks count). An entry matches
// when its search text opens, is valid UTF-8 and contains the query, both
// sides in their composed form so that differently spelled accents match.
// Entries the chip hides are never opened; nothing opened is kept.
QList<ClipboardEntry> filteredEntries(const QList<ClipboardEntry> &orderedEntries, HistoryFilter filter,
    const QString &query, const SearchTextOpener &open);

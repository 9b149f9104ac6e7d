#pragma once

#include <QStringView>

#include <limits>

// User-perceived characters (extended grapheme clusters), counted by ICU.
namespace GraphemeCount {

// The number of grapheme clusters in text, counting no further than limit:
// callers that only compare with a bound need not walk a huge text.
qsizetype count(QStringView text, qsizetype limit = std::numeric_limits<qsizetype>::max());

// The first limit grapheme clusters of text (all of it when shorter).
QStringView prefix(QStringView text, qsizetype limit);

} // namespace GraphemeCount

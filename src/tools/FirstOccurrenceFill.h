#pragma once

#include "tools/IcuRegex.h"
#include "tools/PlaceholderScan.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// Takes the placeholders that placeholderSpans finds in the text (matches)
// from the last to the first and puts each one's value in place of the first
// occurrence of its text in the text as it stands, as a search from the
// beginning after every value would; a placeholder whose text is no longer
// there gets no value, and its value is not asked for. pure says that equal
// placeholders have equal values: each is made once.
//
// The time stays close to linear in the text however placeholders nest or
// values join them. An occurrence can only end at a "}}", so the text is
// kept as the runs between its "}", each indexed by the longest placeholder
// text it ends with, and texts are compared by hashes: two different texts
// get equal hashes with a chance below 10^-20. A value holding "}" (no date
// format gives one) hands the rest to the search from the beginning.
QString fillFirstOccurrences(QStringView text, Placeholder placeholder, const QList<IcuRegex::Spans> &matches,
    bool pure, const std::function<QString(qsizetype match)> &value);

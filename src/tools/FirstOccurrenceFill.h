#pragma once

#include "tools/IcuRegex.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// Takes the matches from the last to the first and puts each one's value in
// place of the first occurrence of its text in the text as it stands, as a
// search from the beginning after every value would; a match whose text is
// no longer there gets no value, and its value is not asked for. Each
// match's text must start with the prefix ("{{" and letters, at most one
// colon after them) and hold no "}" but the "}}" it ends with.
//
// The time stays close to linear in the text however placeholders nest or
// values join them: an occurrence can only end at a "}}", so the text is
// kept as the runs between its "}" characters, each indexed by the longest
// match text it ends with, and texts are compared by hashes. Two different
// texts get equal hashes with a chance below 10^-20; a value holding "}"
// falls back to searching the whole text.
// pure says that matches of equal texts have equal values: each is made
// once.
QString fillFirstOccurrences(QStringView text, const QList<IcuRegex::Spans> &matches, QStringView prefix,
    bool pure, const std::function<QString(qsizetype match)> &value);

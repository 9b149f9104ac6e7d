#pragma once

#include <QList>
#include <QString>

// The line tools of the text transforms. Lines are split at every line
// break (LF, VT, FF, CR, NEL, U+2028, U+2029; CR LF counts as one) and
// joined with LF.
namespace LineTools {

// Empty pieces are kept, a leading one too; with keepTrailingEmpty off,
// empty lines at the end are dropped.
QList<QStringView> splitLines(QStringView text, bool keepTrailingEmpty);

// Trailing spaces and tabs off each line, then white space and line breaks
// off both ends of the whole text; indentation stays.
QString trimLines(QStringView text);

// The non-blank lines, each trimmed, joined with single spaces.
QString joinLines(QStringView text);

// Lines in file-name order (case-insensitive, digit runs by value); lines
// that compare equal keep their order.
QString sortLines(QStringView text);

// Each line the first time it occurs; canonically equivalent lines are the
// same line.
QString uniqueLines(QStringView text);

// Whether some line repeats an earlier one, as uniqueLines sees it.
bool hasDuplicateLines(const QList<QStringView> &lines);

} // namespace LineTools

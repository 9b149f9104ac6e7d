#pragma once

#include "tools/SmartActionKind.h"

#include <QList>
#include <QString>

// Which one-click actions fit a text, and the case changes among them.
// Lengths are counted in user-perceived characters of the trimmed text.
namespace SmartActions {

inline constexpr qsizetype caseLimit = 200;
inline constexpr qsizetype qrCodeLimit = 1200;

// In declaration order; none for a text that is blank.
QList<SmartActionKind> smartActions(QStringView text);

// An http or https link, without white space, that the URL parser takes in
// its strict mode.
bool isWebURL(QStringView text);

// The text in upper, lower or title case; other kinds give it unchanged.
// Title case upper-cases the first character after every space and keeps the
// rest as it is.
QString changeCase(SmartActionKind kind, const QString &text);

} // namespace SmartActions

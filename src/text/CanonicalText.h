#pragma once

#include <QString>

// Texts as the user reads them: canonically equivalent spellings (a composed
// "é" and "e" with a combining accent) are one text, case counts, and the
// order is that of the code points of the composed form, never a locale's.
namespace CanonicalText {

QString composed(const QString &text);
bool equal(const QString &a, const QString &b);
// Negative, zero or positive as a sorts before, with or after b.
int compare(const QString &a, const QString &b);

} // namespace CanonicalText

#pragma once

#include <QString>

// Tesseract's Greek model learnt from polytonic as well as modern text, and
// puts breathings and graves on modern Greek ("Ὁ καιρὸς", "ὁλους", "απἀντηση")
// where the picture shows a tonos or nothing.
namespace GreekAccents {

// The line with the Greek words that carry polytonic marks written in
// modern spelling: breathings dropped, a grave or circumflex made a tonos,
// a breathing made the tonos of a word of more than one syllable that has
// none. A line whose marks are those of polytonic Greek (two words or more
// with them, every word starting with a vowel breathed, nothing breathed
// elsewhere, every longer word accented) is left as read.
QString modernized(const QString &line);

} // namespace GreekAccents

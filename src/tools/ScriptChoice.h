#pragma once

#include "tools/RecognizedLine.h"

#include <optional>

// Tesseract reading Latin, Cyrillic and Greek together picks a script per
// word, and reads short capitals and accented Latin words as look-alikes
// from the others ("TWO" as Cyrillic "ТМО"); its Greek is weaker than the
// Greek model's alone. These choose which lines to read again with one
// script's model, and what to keep of each reading.
namespace ScriptChoice {

enum class Script { Latin, Cyrillic, Greek };

// The script whose model alone should read the line again; none when the
// reading of all three stands (Latin only, or mostly Cyrillic).
std::optional<Script> rereadingScript(const RecognizedLine &line);

// Whether the line holds letters of more than one script.
bool mixesScripts(const RecognizedLine &line);

// The line read by all three models with each word in another script than
// Latin taken from the Latin model's reading of the same place, unless it
// was read confidently and better than there and is not made of letters
// that look Latin anyway.
QString withLatinWords(const RecognizedLine &allScripts, const RecognizedLine &latin);

// Greek words with the micro sign that the Greek model gives for mu.
QString withGreekMu(QString text);

} // namespace ScriptChoice

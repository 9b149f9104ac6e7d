#pragma once

#include "tools/IcuRegex.h"

#include <QList>
#include <QStringView>

// The placeholders of snippets, by the patterns that define them ("\d" is
// any Unicode decimal digit):
enum class Placeholder {
    // \{\{date([+-]\d+)([dwmy])(?::([^}]+))?\}\}
    shiftedDate,
    // \{\{date:([^}]+)\}\}
    formattedDate,
    // \{\{time:([^}]+)\}\}
    formattedTime,
    // \{\{counter(?::([A-Za-z0-9_]+))?\}\}
    counter,
    // \{\{prompt:([^}]+)\}\}
    prompt,
};

// Every match of the placeholder's pattern, in reading order and without
// overlaps, with its groups, exactly as the regular expression finds them
// but in time linear in the text: a regular expression tries each "{{date:"
// against all the text up to the next "}", which takes hours for a few
// megabytes of them. A match ends at the first "}" after its start, so each
// run between two "}" holds one at most.
QList<IcuRegex::Spans> placeholderSpans(QStringView text, Placeholder placeholder);

// What every match starts with: "{{date" for a shifted date, "{{date:" for
// a formatted one.
QStringView placeholderStem(Placeholder placeholder);

#pragma once

#include "text/PasteboardFlavours.h"

#include <QString>

// The text that capture takes from a copy: the plain string, unless that is
// blank or HTML source, in which case the readable text of the rich flavours.
namespace TextExtraction {

// Whether text is HTML source rather than prose.
bool looksLikeHTML(const QString &text);

// The text to capture from string, the copy's plain string. Never fails; the
// caller trims the result and drops it when empty.
QString extractPlainText(const QString &string, const PasteboardFlavours &flavours);

} // namespace TextExtraction

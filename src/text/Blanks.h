#pragma once

#include <QChar>
#include <QStringView>

// Spaces (any space separator) and tabs, never line breaks: what is trimmed
// from names and tags the user types.
namespace Blanks {

bool isBlank(QChar character);
QStringView trimmed(QStringView text);

} // namespace Blanks

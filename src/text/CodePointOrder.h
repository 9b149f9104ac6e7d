#pragma once

#include <QStringView>

// Unicode code point order: plain comparison of UTF-16 code units puts
// characters above U+FFFF before those from U+E000 to U+FFFF.
namespace CodePointOrder {

// Negative, zero or positive as a sorts before, with or after b.
int compare(QStringView a, QStringView b);

} // namespace CodePointOrder

#pragma once

#include <QString>

// The symbol names views use, mapped to SVG images compiled into the
// resources. The mapping itself is the table symbols.txt beside this file.
namespace Symbols {

// The resource path of the symbol's SVG, or an empty string for a name the
// table does not know.
QString resourcePath(const QString &name);

} // namespace Symbols

#include "ui/design/Symbols.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace Symbols {

QString resourcePath(const QString &name)
{
    // Names are plain identifiers with dots; anything that could leave the
    // symbols folder is no symbol.
    if (name.isEmpty() || name.contains(u'/'))
        return {};
    QString path = u":/symbols/"_s + name + u".svg"_s;
    return QFile::exists(path) ? path : QString();
}

} // namespace Symbols

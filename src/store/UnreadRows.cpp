#include "store/UnreadRows.h"

using namespace Qt::StringLiterals;

UnreadRows UnreadRows::databaseNotOpen()
{
    return {.uncounted = true, .reason = u"the database is not open"_s};
}

QString UnreadRows::logLine(const QString &read) const
{
    QString rows = count == 1 ? u"1 row"_s : QString::number(count) + u" rows"_s;
    if (uncounted)
        rows = count > 0 ? u"at least "_s + rows : u"some rows"_s;
    return u"❌ "_s + read + u": "_s + rows + u" couldn't be read ("_s + reason + u"); left in the database"_s;
}

#include "store/RowByRowRead.h"

#include "store/SqliteStatement.h"

#include <QList>

#include <algorithm>

#include <sqlite3.h>

UnreadRows RowByRowRead::read(sqlite3 *db, std::initializer_list<const char *> listings, SqliteStatement &row,
    int rowidParameter, const std::function<void(const SqliteStatement &)> &take)
{
    UnreadRows unread;
    QList<qint64> rowids;
    bool listedAll = false;
    QString listingFailure;
    for (auto sql = listings.begin(); sql != listings.end() && !listedAll; ++sql) {
        SqliteStatement listing(db, *sql);
        int listed = SQLITE_ROW;
        while ((listed = listing.step()) == SQLITE_ROW)
            rowids.append(listing.columnInt64(0));
        listedAll = listed == SQLITE_DONE;
        if (!listedAll && listingFailure.isEmpty())
            listingFailure = listing.isValid() ? SqliteStatement::failureReason(db) : listing.errorMessage();
    }
    if (!listedAll) {
        unread.uncounted = true;
        unread.note(listingFailure);
    }
    std::ranges::sort(rowids);
    rowids.erase(std::ranges::unique(rowids).begin(), rowids.end());
    for (const qint64 rowid : rowids) {
        row.reset();
        row.bindInt64(rowidParameter, rowid);
        const int result = row.step();
        if (result == SQLITE_ROW)
            take(row);
        // Done: an index listed a row the table no longer holds.
        else if (result != SQLITE_DONE)
            unread.add(SqliteStatement::failureReason(db));
    }
    return unread;
}

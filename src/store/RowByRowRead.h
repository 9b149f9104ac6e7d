#pragma once

#include "store/UnreadRows.h"

#include <functional>
#include <initializer_list>

class SqliteStatement;
struct sqlite3;

// Reads a table one row at a time, for when one statement over it failed
// and SQLite did not say on which b-tree: a row's own pages or an index. The
// rowids are listed through the table itself, and through its indexes when
// that listing stops short, each listing needing only its own pages; then
// every row is read alone by its rowid. A damaged page costs only the rows
// on it, and a damaged index none.
namespace RowByRowRead {

// Steps row with each listed rowid bound at rowidParameter, in the table's
// order, and hands take every row it reads. The listings give rowids in
// their first column, the table's own first. Counts the rows that fail;
// uncounted when no listing reached its end.
UnreadRows read(sqlite3 *db, std::initializer_list<const char *> listings, SqliteStatement &row,
    int rowidParameter, const std::function<void(const SqliteStatement &)> &take);

} // namespace RowByRowRead

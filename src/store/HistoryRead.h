#pragma once

#include "records/ClipboardEntry.h"
#include "store/UnreadRows.h"

#include <QList>

// The history on disk as far as the database could read it: every row it
// read, newest first, and what it could not.
struct HistoryRead {
    QList<ClipboardEntry> entries;
    UnreadRows unread {};
};

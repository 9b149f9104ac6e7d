#pragma once

#include <QString>

// Rows the database could not read. They stay in it untouched: a disk that
// failed once may read them again, and a repair tool can.
struct UnreadRows {
    // Rows that failed on their own.
    qsizetype count = 0;
    // Whether rows past some point could not even be listed, so that how
    // many went unread is not known.
    bool uncounted = false;
    // The database's words for the first failure.
    QString reason {};

    // A store that is not open lists nothing: not an empty table.
    static UnreadRows databaseNotOpen();

    bool any() const { return count > 0 || uncounted; }
    void add(const QString &why)
    {
        ++count;
        note(why);
    }
    void note(const QString &why)
    {
        if (reason.isEmpty())
            reason = why;
    }
    // The log's line for them, after the read's name.
    QString logLine(const QString &read) const;

    bool operator==(const UnreadRows &other) const = default;
};

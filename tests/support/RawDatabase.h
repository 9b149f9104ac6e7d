#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;

// A second connection to a store's file, for tests that look at or plant
// rows behind the store's back.
class RawDatabase final {
    Q_DISABLE_COPY(RawDatabase)

public:
    explicit RawDatabase(const QString &path);
    ~RawDatabase();

    // The first column of the first row (an invalid QVariant for NULL or
    // no row; QByteArray for blobs).
    QVariant value(const char *sql);
    qint64 count(const char *sql) { return value(sql).toLongLong(); }
    QStringList texts(const char *sql);
    // Runs sql with the blob bound to every "?"; false on failure.
    bool run(const char *sql, const QByteArray &blob = {});

private:
    sqlite3 *m_db = nullptr;
};

#include "support/RawDatabase.h"

#include <sqlite3.h>

#include <memory>

namespace {

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Statement prepare(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        qWarning("RawDatabase: %s", sqlite3_errmsg(db));
    return Statement(statement, &sqlite3_finalize);
}

} // namespace

RawDatabase::RawDatabase(const QString &path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        qWarning("RawDatabase: %s", sqlite3_errmsg(m_db));
    sqlite3_busy_timeout(m_db, 5000);
}

RawDatabase::~RawDatabase()
{
    sqlite3_close_v2(m_db);
}

QVariant RawDatabase::value(const char *sql)
{
    const Statement statement = prepare(m_db, sql);
    if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW)
        return {};
    sqlite3_stmt *row = statement.get();
    switch (sqlite3_column_type(row, 0)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(row, 0));
    case SQLITE_FLOAT:
        return sqlite3_column_double(row, 0);
    case SQLITE_BLOB:
        return QByteArray(
            static_cast<const char *>(sqlite3_column_blob(row, 0)), sqlite3_column_bytes(row, 0));
    case SQLITE_TEXT:
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(row, 0)), sqlite3_column_bytes(row, 0));
    default:
        return {};
    }
}

QStringList RawDatabase::texts(const char *sql)
{
    QStringList texts;
    const Statement statement = prepare(m_db, sql);
    while (statement && sqlite3_step(statement.get()) == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement.get(), 0));
        texts << (text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
    }
    return texts;
}

bool RawDatabase::run(const char *sql, const QByteArray &blob)
{
    const Statement statement = prepare(m_db, sql);
    if (!statement)
        return false;
    for (int index = 1; index <= sqlite3_bind_parameter_count(statement.get()); ++index)
        sqlite3_bind_blob(statement.get(), index, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
    return sqlite3_step(statement.get()) == SQLITE_DONE;
}

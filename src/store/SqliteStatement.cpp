#include "store/SqliteStatement.h"

#include <sqlite3.h>

#include <cerrno>

SqliteStatement::SqliteStatement(sqlite3 *db, const char *sql) : m_db(db)
{
    if (!db) {
        m_prepareError = QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE));
        return;
    }
    if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
        m_prepareError = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

QString SqliteStatement::errorMessage() const
{
    if (!m_statement)
        return m_prepareError;
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

QString SqliteStatement::failureReason(sqlite3 *db)
{
    const int systemError = sqlite3_system_errno(db);
    // The primary code, also where extended codes are on.
    switch (sqlite3_errcode(db) & 0xff) {
    case SQLITE_FULL:
        // SQLite keeps no errno for a write that ran out of room.
        return qt_error_string(systemError != 0 ? systemError : ENOSPC);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        if (systemError != 0)
            return qt_error_string(systemError);
        break;
    default:
        break;
    }
    return QString::fromUtf8(sqlite3_errmsg(db));
}

void SqliteStatement::noteBind(int result)
{
    if (result != SQLITE_OK && m_bindError == 0)
        m_bindError = result;
}

void SqliteStatement::bindText(int index, const QString &text)
{
    const QByteArray &utf8 = m_bound.emplace_back(text.toUtf8());
    noteBind(sqlite3_bind_text64(
        m_statement, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_STATIC, SQLITE_UTF8));
}

void SqliteStatement::bindText(int index, const std::optional<QString> &text)
{
    if (text)
        bindText(index, *text);
    else
        noteBind(sqlite3_bind_null(m_statement, index));
}

void SqliteStatement::bindBlob(int index, const QByteArray &bytes)
{
    // SQLite reads a null data pointer as NULL, so an empty blob is bound
    // explicitly.
    if (bytes.isEmpty())
        noteBind(sqlite3_bind_zeroblob(m_statement, index, 0));
    else
        noteBind(sqlite3_bind_blob64(m_statement, index, m_bound.emplace_back(bytes).constData(),
            sqlite3_uint64(bytes.size()), SQLITE_STATIC));
}

void SqliteStatement::bindBlob(int index, const std::optional<QByteArray> &bytes)
{
    if (bytes)
        bindBlob(index, *bytes);
    else
        noteBind(sqlite3_bind_null(m_statement, index));
}

void SqliteStatement::bindZeroBlob(int index, qint64 size)
{
    noteBind(sqlite3_bind_zeroblob64(m_statement, index, sqlite3_uint64(size)));
}

void SqliteStatement::bindDouble(int index, double value)
{
    noteBind(sqlite3_bind_double(m_statement, index, value));
}

void SqliteStatement::bindDouble(int index, std::optional<double> value)
{
    if (value)
        bindDouble(index, *value);
    else
        noteBind(sqlite3_bind_null(m_statement, index));
}

void SqliteStatement::bindInt64(int index, qint64 value)
{
    noteBind(sqlite3_bind_int64(m_statement, index, value));
}

void SqliteStatement::bindBool(int index, bool value)
{
    noteBind(sqlite3_bind_int(m_statement, index, value ? 1 : 0));
}

int SqliteStatement::step()
{
    if (!m_statement)
        return SQLITE_MISUSE;
    if (m_bindError != 0)
        return m_bindError;
    return sqlite3_step(m_statement);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
}

std::optional<QString> SqliteStatement::columnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    if (!text)
        return std::nullopt;
    return QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column));
}

QByteArrayView SqliteStatement::columnBytes(int column) const
{
    const void *data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    if (!data || size <= 0)
        return {};
    return QByteArrayView(static_cast<const char *>(data), size);
}

QByteArray SqliteStatement::columnBlob(int column) const
{
    return columnBytes(column).toByteArray();
}

double SqliteStatement::columnDouble(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

qint64 SqliteStatement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

bool SqliteStatement::columnIsNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

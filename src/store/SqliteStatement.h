#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when it goes. Texts and blobs are
// bound without SQLite copying them (a sealed picture may take tens of
// megabytes): the statement holds them until it is finalized. Parameters
// are numbered from 1.
class SqliteStatement final {
    Q_DISABLE_COPY(SqliteStatement)

public:
    // A null connection gives an invalid statement.
    SqliteStatement(sqlite3 *db, const char *sql);
    ~SqliteStatement();

    bool isValid() const { return m_statement != nullptr; }
    // The prepare error, or SQLite's message for the connection after a step.
    QString errorMessage() const;
    // Why the connection's last call failed, for the user: the system's
    // words where an I/O failure has them ("No space left on device"),
    // else SQLite's message.
    static QString failureReason(sqlite3 *db);

    void bindText(int index, const QString &text);
    void bindText(int index, const std::optional<QString> &text);
    // An empty array is a zero-length blob, not NULL.
    void bindBlob(int index, const QByteArray &bytes);
    void bindBlob(int index, const std::optional<QByteArray> &bytes);
    // size zero bytes, for a blob written after the row through incremental
    // blob I/O.
    void bindZeroBlob(int index, qint64 size);
    void bindDouble(int index, double value);
    void bindDouble(int index, std::optional<double> value);
    void bindInt64(int index, qint64 value);
    void bindBool(int index, bool value);

    // SQLite's result code; the first failed bind's code when a bind failed.
    int step();
    // Back to before the first step, the bindings kept.
    void reset();

    std::optional<QString> columnText(int column) const;
    // The text or blob as SQLite holds it (text in UTF-8), valid until the
    // next step; empty for NULL.
    QByteArrayView columnBytes(int column) const;
    // Empty both for NULL and for a zero-length blob.
    QByteArray columnBlob(int column) const;
    double columnDouble(int column) const;
    qint64 columnInt64(int column) const;
    bool columnIsNull(int column) const;

private:
    void noteBind(int result);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    // What SQLite reads bound texts and blobs from; released after it is
    // finalized.
    QList<QByteArray> m_bound;
    QString m_prepareError;
    int m_bindError = 0;
};

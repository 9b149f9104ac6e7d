#pragma once

#include <QString>

// Failures of the store that reach a caller; the message is SQLite's.
class StorageError final {
public:
    enum class Code { sqlitePrepareFailed, sqliteStepFailed, databaseNotOpen, exportFailed };

    explicit StorageError(Code code, QString message = {}) : m_code(code), m_message(std::move(message)) { }

    Code code() const { return m_code; }
    const QString &message() const { return m_message; }

    // The user-readable text.
    QString errorDescription() const;

    friend bool operator==(const StorageError &, const StorageError &) = default;

private:
    Code m_code;
    QString m_message;
};

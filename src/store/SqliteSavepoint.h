#pragma once

#include <QString>

class StoreDatabase;

// Makes a group of statements one unit: everything since construction is
// rolled back unless release() succeeds. Savepoints nest, so a guarded
// pair can run inside an enclosing one.
class SqliteSavepoint final {
    Q_DISABLE_COPY(SqliteSavepoint)

public:
    SqliteSavepoint(StoreDatabase &database, QString name);
    ~SqliteSavepoint();

    bool isActive() const { return m_active; }
    // Commits into the enclosing transaction (or the file at the outermost
    // level); false when the savepoint was not active or did not release.
    bool release();

private:
    StoreDatabase &m_database;
    QString m_name;
    bool m_active = false;
};
